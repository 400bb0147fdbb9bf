// The game's application object: its window and its agent.
#include "game/game_app.h"

#include "agent/player_agent.h"
#include "game/game_state.h"

GameApp::GameApp() : agent(new PlayerAgent()) {}

GameApp::~GameApp() {
    delete agent;
    agent = nullptr;
    SetPlayerAgent(nullptr);  // nothing may reach the agent once it is gone
}

void GameApp::OnInit() {
    SetPlayerAgent(agent);
}
