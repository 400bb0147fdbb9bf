#pragma once

#include <functional>

#include "game/sprite.h"

// A Gulper steered by the test: Think runs the script, if any.
class ScriptedPlayer : public PlayerSprite {
  public:
    void Think() override {
        ++thinks;
        if (script) {
            script(*this);
        }
    }
    std::function<void(ScriptedPlayer&)> script;
    int thinks = 0;
};
