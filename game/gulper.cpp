#include "game/game_app.h"

// The one application object; the framework's main runs it.
GameApp gameApp;
