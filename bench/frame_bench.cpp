// The window's share of the work, in an offscreen OpenGL context (Mesa's software renderer):
// reading every picture from data/, and one whole frame of the board, on the start screen
// (which reads its picture anew each time) and during play, beside a frame that only clears
// and swaps. The frames' CPU time counts every thread of the process: the software renderer
// draws on threads of its own.

#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <GL/gl.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "agent/player_agent.h"
#include "framework/Image.h"
#include "framework/ImagePlatformReaders.h"
#include "framework/platform/platform.h"
#include "game/game_state.h"
#include "game/game_window.h"

namespace {

std::vector<std::string> PictureFiles() {
    std::vector<std::string> files;
    for (const auto& entry : std::filesystem::directory_iterator("data")) {
        if (entry.path().extension() == ".tga") {
            files.push_back(entry.path().string());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

void BM_LoadEveryPicture(benchmark::State& state) {
    const std::vector<std::string> files = PictureFiles();
    int64_t bytes = 0;
    for (auto _ : state) {
        for (const std::string& file : files) {
            Image picture;
            picture.Load(file.c_str());
            bytes += static_cast<int64_t>(picture.GetWidth()) * picture.GetHeight() *
                     picture.BytesPerPixel();
        }
    }
    state.counters["pictures"] = static_cast<double>(files.size());
    state.SetBytesProcessed(bytes);
}
BENCHMARK(BM_LoadEveryPicture)->Unit(benchmark::kMicrosecond);

// The game's window as the game makes it: settings, ghosts, new game and pictures.
class Frame {
  public:
    Frame() {
        ResetGameState();
        SetPlayerAgent(&agent);
        window.SetSize(380, 460);
        ok = window.extra->Create();
        platform::Message message;
        while (ok && platform::PeekMessage(&message) && message.message != platform::WM_QUIT) {
            platform::DispatchMessage(message);
        }
    }
    ~Frame() { SetPlayerAgent(nullptr); }
    void Draw() {
        window.OnDisplay();
        glFinish();  // count the rendering, not just the queueing
    }
    PlayerAgent agent;
    GameWindow window;
    bool ok = false;
};

void BM_FrameOnStartScreen(benchmark::State& state) {
    Frame frame;
    if (!frame.ok) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    for (auto _ : state) {
        frame.Draw();
    }
}
BENCHMARK(BM_FrameOnStartScreen)->Unit(benchmark::kMicrosecond);

void BM_FrameDuringPlay(benchmark::State& state) {
    Frame frame;
    if (!frame.ok) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    frame.window.startScreen = false;
    fruitVisible = true;
    for (auto _ : state) {
        frame.Draw();
    }
}
BENCHMARK(BM_FrameDuringPlay)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

// The floor in the same context: a frame that only clears and swaps.
void BM_BareFrame(benchmark::State& state) {
    Frame frame;
    if (!frame.ok) {
        state.SkipWithError("no OpenGL window");
        return;
    }
    for (auto _ : state) {
        glClear(GL_COLOR_BUFFER_BIT);
        frame.window.SwapBuffers();
        glFinish();
    }
}
BENCHMARK(BM_BareFrame)->Unit(benchmark::kMicrosecond)->MeasureProcessCPUTime();

}  // namespace

int main(int argc, char** argv) {
    setenv("SDL_VIDEODRIVER", "offscreen", 0);  // no display needed
    std::filesystem::current_path(GULPER_SOURCE_DIR);
    InstallPlatformImageReaders();  // every reader the game's Load tries, as its GLApp installs
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
