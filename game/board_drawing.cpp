// The board's drawing: the wall table, the food, the sprites, the score and status lines and
// the full pictures, in the one frame every game window shows.
#include <GL/gl.h>

#include <cstddef>
#include <cstdio>
#include <initializer_list>
#include <vector>

#include "framework/pixel_space.h"
#include "game/game_state.h"
#include "game/game_window.h"
#include "game/ghosts/ghost.h"
#include "game/sprite.h"

Image dotImage;
Image powerPillImage;

namespace {

struct Vertex {
    double x, y;
};

struct WallPrimitive {
    GLenum mode;
    const Vertex* points;
    size_t count;
};

// The walls run along the middle of the wall cells: every vertex is a wall cell's centre.
const Vertex OUTER_LOWER[] = {{10, 210}, {70, 210},  {70, 170},  {10, 170},  {10, 10},
                              {370, 10}, {370, 170}, {310, 170}, {310, 210}, {370, 210}};
const Vertex OUTER_UPPER[] = {{10, 250},  {70, 250},  {70, 290},  {10, 290},  {10, 430},
                              {370, 430}, {370, 290}, {310, 290}, {310, 250}, {370, 250}};
const Vertex INNER_LINES[] = {
    {50, 50},   {150, 50},  {110, 50},  {110, 90},  {190, 50},  {190, 90},  {150, 90},  {230, 90},
    {230, 50},  {330, 50},  {270, 50},  {270, 90},  {10, 90},   {30, 90},   {350, 90},  {370, 90},
    {110, 130}, {150, 130}, {230, 130}, {270, 130}, {190, 130}, {190, 170}, {150, 170}, {230, 170},
    {110, 170}, {110, 210}, {270, 170}, {270, 210}, {110, 250}, {110, 330}, {110, 290}, {150, 290},
    {270, 250}, {270, 330}, {270, 290}, {230, 290}, {190, 290}, {190, 330}, {150, 330}, {230, 330},
    {50, 330},  {70, 330},  {310, 330}, {330, 330}, {190, 430}, {190, 370}};
const Vertex LOWER_LEFT_HOOK[] = {{70, 90}, {70, 130}, {50, 130}};
const Vertex LOWER_RIGHT_HOOK[] = {{310, 90}, {310, 130}, {330, 130}};
const Vertex BLOCK_1[] = {{50, 390}, {70, 390}, {70, 370}, {50, 370}};
const Vertex BLOCK_2[] = {{110, 390}, {150, 390}, {150, 370}, {110, 370}};
const Vertex BLOCK_3[] = {{230, 390}, {270, 390}, {270, 370}, {230, 370}};
const Vertex BLOCK_4[] = {{310, 390}, {330, 390}, {330, 370}, {310, 370}};
const Vertex GHOST_HOUSE[] = {{170, 250}, {150, 250}, {150, 210},
                              {230, 210}, {230, 250}, {210, 250}};
const Vertex DOOR[] = {{170, 250}, {210, 250}};

template <size_t N>
constexpr WallPrimitive Primitive(GLenum mode, const Vertex (&points)[N]) {
    return {mode, points, N};
}

const WallPrimitive WALLS[] = {
    Primitive(GL_LINE_STRIP, OUTER_LOWER),      Primitive(GL_LINE_STRIP, OUTER_UPPER),
    Primitive(GL_LINES, INNER_LINES),           Primitive(GL_LINE_STRIP, LOWER_LEFT_HOOK),
    Primitive(GL_LINE_STRIP, LOWER_RIGHT_HOOK), Primitive(GL_LINE_LOOP, BLOCK_1),
    Primitive(GL_LINE_LOOP, BLOCK_2),           Primitive(GL_LINE_LOOP, BLOCK_3),
    Primitive(GL_LINE_LOOP, BLOCK_4),           Primitive(GL_LINE_STRIP, GHOST_HOUSE),
};

// Each vertex at the white texel, for the walls drawn through the pictures' program.
void WallVertex(const Vertex& v) {
    glTexCoord2f(PictureBatch::WHITE_TEXEL, PictureBatch::WHITE_TEXEL);
    glVertex2d(v.x, v.y);
}

void DrawPrimitive(const WallPrimitive& p) {
    glBegin(p.mode);
    for (size_t i = 0; i < p.count; ++i) {
        WallVertex(p.points[i]);
    }
    glEnd();
}

// The segments of primitives, two vertices each: what a strip, a loop or a list of lines
// draws, one segment at a time.
std::vector<Vertex> Segments(const WallPrimitive* primitives, size_t count) {
    std::vector<Vertex> out;
    for (size_t k = 0; k < count; ++k) {
        const WallPrimitive& p = primitives[k];
        if (p.mode == GL_LINES) {
            out.insert(out.end(), p.points, p.points + p.count - p.count % 2);
            continue;
        }
        for (size_t i = 0; i + 1 < p.count; ++i) {
            out.push_back(p.points[i]);
            out.push_back(p.points[i + 1]);
        }
        if (p.mode == GL_LINE_LOOP && p.count > 1) {
            out.push_back(p.points[p.count - 1]);
            out.push_back(p.points[0]);
        }
    }
    return out;
}

void DrawSegments(const std::vector<Vertex>& segments) {
    glBegin(GL_LINES);
    for (const Vertex& v : segments) {
        WallVertex(v);
    }
    glEnd();
}

// The picture of a direction; none for a value that is no direction.
Image* PictureFor(int32_t direction, Image& left, Image& up, Image& right, Image& down) {
    switch (direction) {
        case DIR_LEFT:
            return &left;
        case DIR_UP:
            return &up;
        case DIR_RIGHT:
            return &right;
        case DIR_DOWN:
            return &down;
        default:
            return nullptr;
    }
}

// The full pictures sit centred across the window, their bottom edge this far up the board.
constexpr double FULL_PICTURE_BOTTOM = 80;
const GridPoint SCORE_AT(5, SCORE_LINE_Y);
const GridPoint FOOD_LEFT_AT(150, SCORE_LINE_Y);

}  // namespace

void DrawWalls(PictureBatch& pictures) {
    // One batch a colour: the software renderer's cost is mostly per batch, not per segment,
    // and a strip or a loop draws exactly the segments it is made of. Immediate lines: a
    // display list of them saves no measurable time and keeps the driver's list storage (over
    // a mebibyte) for the life of the context.
    static const std::vector<Vertex> walls = Segments(WALLS, sizeof WALLS / sizeof WALLS[0]);
    Texturing white(GL_MODULATE, true);
    glBindTexture(GL_TEXTURE_2D, pictures.WhiteTexture());
    glLineWidth(2.0f);
    glColor3d(0, 0, 1);
    DrawSegments(walls);
    glColor3d(1, 0.75, 0.75);
    DrawPrimitive(Primitive(GL_LINES, DOOR));
}

void DrawWallsAsPrimitives() {
    glLineWidth(2.0f);
    glColor3d(0, 0, 1);
    for (const WallPrimitive& p : WALLS) {
        DrawPrimitive(p);
    }
    glColor3d(1, 0.75, 0.75);
    DrawPrimitive(Primitive(GL_LINES, DOOR));
}

Image* SpritePicture(Sprite& sprite, bool blue) {
    if (blue) {
        Ghost& ghost = static_cast<Ghost&>(sprite);
        return PictureFor(sprite.direction, ghost.blueImageLeft, ghost.blueImageUp,
                          ghost.blueImageRight, ghost.blueImageDown);
    }
    return PictureFor(sprite.direction, sprite.imageLeft, sprite.imageUp, sprite.imageRight,
                      sprite.imageDown);
}

void GameWindow::PreparePictures() {
    const auto prepare = [this](std::initializer_list<Image*> images) {
        for (Image* image : images) {
            pictures.Prepare(*image);
        }
    };
    prepare({&dotImage, &powerPillImage, &fruitImage});
    if (playerAgent != nullptr) {
        prepare({&playerAgent->imageLeft, &playerAgent->imageUp, &playerAgent->imageRight,
                 &playerAgent->imageDown});
    }
    ForEachGhost([&prepare](Ghost& g, GhostColour) {
        prepare({&g.imageLeft, &g.imageUp, &g.imageRight, &g.imageDown, &g.blueImageLeft,
                 &g.blueImageUp, &g.blueImageRight, &g.blueImageDown});
    });
}

void GameWindow::QueueCentred(Image& image, double x, double y) {
    if (image.IsValid()) {
        pictures.Add(image, x - image.GetWidth() * 0.5, y - image.GetHeight() * 0.5);
    }
}

void GameWindow::QueueSprite(Sprite& sprite, bool blue) {
    if (Image* picture = SpritePicture(sprite, blue)) {
        QueueCentred(*picture, sprite.position.x, sprite.position.y);
    }
}

void GameWindow::QueueText(const std::string& line) {
    if (!text.Queue(*this, line.c_str())) {
        Printf("%s", line.c_str());
    }
}

void GameWindow::DrawMaze() {
    DrawWalls(pictures);
    for (int v = 0; v < BOARD_ROWS; ++v) {
        for (int c = 0; c < BOARD_COLUMNS; ++c) {
            const int32_t code = MazeGrid[GridIndex(c, v)];
            const GridPoint centre = CellCentre(c, v);
            if (code == CELL_DOT) {
                QueueCentred(dotImage, centre.x, centre.y);
            } else if (code == CELL_PILL) {
                QueueCentred(powerPillImage, centre.x, centre.y);
            }
        }
    }
}

// A full picture (start, won, lost): read from its file at every repaint. The batch keeps
// the picture's texture from frame to frame while the file's pixels stay the same.
void GameWindow::DrawFullPicture(const char* fileName) {
    Image picture;
    picture.Load(fileName);
    if (picture.IsValid()) {
        pictures.Add(picture, BOARD_WIDTH / 2 - picture.GetWidth() * 0.5, FULL_PICTURE_BOTTOM);
        pictures.Flush();
        picture.Clear();
    }
}

void GameWindow::DrawStartScreen() {
    DrawFullPicture("data//start.tga");
}
void GameWindow::DrawWinScreen() {
    DrawFullPicture("data//win.tga");
}
void GameWindow::DrawLoseScreen() {
    DrawFullPicture("data//lose.tga");
}

void GameWindow::OnDisplay() {
    glClear(GL_COLOR_BUFFER_BIT);
    glLoadIdentity();
    pictures.BeginFrame();
    DrawMaze();
    // The board is whole before anything is drawn over it.
    pictures.Flush();
    DrawOverlay();
    if (fruitVisible) {
        QueueCentred(fruitImage, FRUIT_POSITION.x, FRUIT_POSITION.y);
    }
    QueueSprite(*playerAgent, false);
    ForEachGhost([this](Ghost& ghost, GhostColour) { QueueSprite(ghost, ghost.IsBlue()); });
    pictures.Flush();

    glColor3d(1, 1, 1);
    glRasterPos2d(SCORE_AT.x, SCORE_AT.y);
    QueueText("Score: " + std::to_string(playerAgent->Score()));
    glRasterPos2d(FOOD_LEFT_AT.x, FOOD_LEFT_AT.y);
    QueueText("Food Left: " + std::to_string(foodLeft));
    const std::string status = StatusLine();
    if (!status.empty()) {
        glRasterPos2d(SCORE_AT.x, STATUS_LINE_Y);
        QueueText(status);
    }
    text.Flush();

    if (startScreen) {
        DrawStartScreen();
    } else if (gameWon) {
        DrawWinScreen();
    } else if (playerCaught) {
        DrawLoseScreen();
    }
    SwapBuffers();
    OnFrameShown();
}
