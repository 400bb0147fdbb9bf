// The hooks' defaults: a player that is only its sprite.
#include "episode/player.h"

namespace gulper {

void Player::StartGame(uint32_t, const GameSettings&) {}
void Player::Foresee(Lookahead&) {}
void Player::BeforeDecision(int64_t) {}
bool Player::Forfeited() const {
    return false;
}
void Player::EndGame(GameResult&) {}
bool Player::HasPlans() const {
    return false;
}
bool Player::RecordsPlans() const {
    return false;
}
AgentPlan Player::ReadPlan(GridPoint) {
    return AgentPlan();
}

SpritePlayer::SpritePlayer(std::unique_ptr<PlayerSprite> sprite_, PlanReader readPlan_,
                           bool recordPlans_)
    : sprite(std::move(sprite_)), readPlan(std::move(readPlan_)), recordPlans(recordPlans_) {}

AgentPlan SpritePlayer::ReadPlan(GridPoint decisionCell) {
    return readPlan ? readPlan(*sprite, decisionCell) : AgentPlan();
}

}  // namespace gulper
