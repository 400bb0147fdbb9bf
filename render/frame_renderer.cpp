// The game's frame for a Python session: a hidden game window in SDL's offscreen driver whose
// drawing reads the session's game, so render() shows exactly what the game window would.
#include "render/frame_renderer.h"

#include <GL/gl.h>
#include <pthread.h>
#include <unistd.h>

#include <cstdio>

#include <algorithm>
#include <memory>

#include "episode/snapshot.h"
#include "game/game_state.h"
#include "game/game_window.h"

namespace gulper {

namespace {

// A game window that builds no game of its own: it draws whichever game is live.
class FrameWindow : public GameWindow {
  public:
    void OnCreate() override {
        SetUpView(0);
        LoadBoardPictures();
    }

    // The rules' own flags the frame reads (the rest is process-wide) come from the game
    // drawn, then the frame as the game window draws it. A seeded game is one whose start
    // screen was left before its first tick, as in the viewer.
    void Draw(const GameRules& live) {
        startScreen = false;
        playerCaught = live.playerCaught;
        OnDisplay();
    }
};

std::unique_ptr<FrameWindow> frameWindow;
// Set in a child forked while a context was open: that context, and the driver's threads
// behind it, stayed with the parent.
bool forkedFromDrawing = false;

// In the forked child: the window and its context are let go without a call into the
// driver, which would wait forever on threads the child does not have.
void LeaveParentsContext() {
    if (frameWindow) {
        (void)frameWindow.release();
        forkedFromDrawing = true;
    }
}

// The window's constructor and destructor write the process-wide game (they clear it, and
// the rules they derive from delete the live ghosts), so the live game is kept aside
// around them.
template <typename Work>
void KeepingTheLiveGame(Work work) {
    const WorldGlobals live = CaptureGlobals();
    work();
    ApplyGlobals(live);
}

void DrainMessages() {
    for (platform::Message m; platform::PeekMessage(&m) && m.message != platform::WM_QUIT;) {
        platform::DispatchMessage(m);
    }
}

// The window layer tells of a failure on standard output, which is the Python program's own:
// it goes to standard error instead, and the error raised says it too.
bool CreateQuietly(FrameWindow& window) {
    std::fflush(stdout);
    const int output = dup(STDOUT_FILENO);
    if (output >= 0) {
        dup2(STDERR_FILENO, STDOUT_FILENO);
    }
    const bool created = window.extra->Create();
    std::fflush(stdout);
    if (output >= 0) {
        dup2(output, STDOUT_FILENO);
        close(output);
    }
    return created;
}

bool OpenFrameWindow(std::string* why) {
    if (forkedFromDrawing) {
        *why =
            "render() cannot draw in a process forked from one that had drawn: the OpenGL "
            "context stayed with the parent. Draw in the parent, or start the workers with the "
            "\"forkserver\" or \"spawn\" context";
        return false;
    }
    static const bool watchesForks = [] {
        pthread_atfork(nullptr, nullptr, &LeaveParentsContext);
        return true;
    }();
    (void)watchesForks;
    // Never a window on a screen, and Python keeps its own Ctrl+C.
    if (!platform::UseOffscreenVideo()) {
        *why = "render() needs an OpenGL context and none could be made (" +
               platform::VideoError() + ")";
        return false;
    }
    KeepingTheLiveGame([] { frameWindow = std::make_unique<FrameWindow>(); });
    if (frameWindow->extra == nullptr) {
        CloseFrameRenderer();
        *why = "render() could not set up a window for its OpenGL context";
        return false;
    }
    frameWindow->extra->visible = false;
    frameWindow->SetSize(WINDOW_WIDTH, WINDOW_HEIGHT);
    frameWindow->SetTitle("gulper render");
    if (!CreateQuietly(*frameWindow)) {
        const std::string sdl = platform::VideoError();
        CloseFrameRenderer();
        *why = "render() needs an OpenGL context and none could be made" +
               (sdl.empty() ? std::string() : " (" + sdl + ")");
        return false;
    }
    DrainMessages();  // runs OnCreate: the view and the board's pictures
    return true;
}

}  // namespace

bool DrawSessionFrame(Session& session, std::vector<uint8_t>* rgb, std::string* why) {
    session.Enter();
    if (!frameWindow && !OpenFrameWindow(why)) {
        return false;
    }
    DrainMessages();
    frameWindow->Draw(session.Rules());
    // The offscreen surface keeps what was drawn after the swap.
    const size_t row = static_cast<size_t>(WINDOW_WIDTH) * 3;
    std::vector<uint8_t> bottomUp(row * WINDOW_HEIGHT);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, WINDOW_WIDTH, WINDOW_HEIGHT, GL_RGB, GL_UNSIGNED_BYTE, bottomUp.data());
    if (const GLenum error = glGetError(); error != GL_NO_ERROR) {
        *why = "OpenGL failed to read the frame back (error " + std::to_string(error) + ")";
        return false;
    }
    rgb->resize(bottomUp.size());
    for (size_t y = 0; y < WINDOW_HEIGHT; ++y) {
        std::copy_n(bottomUp.data() + (WINDOW_HEIGHT - 1 - y) * row, row, rgb->data() + y * row);
    }
    return true;
}

void CloseFrameRenderer() {
    if (!frameWindow) {
        return;
    }
    KeepingTheLiveGame([] {
        for (GhostColour colour : TICK_ORDER) {
            GhostOf(colour) = nullptr;  // the live game's, not the window's to delete
        }
        frameWindow.reset();
    });
}

}  // namespace gulper
