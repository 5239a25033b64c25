#include "play/Hero.h"

cHero::cHero() = default;
cHero::cHero(const cHero& src) : cCharaBase(src) {}
cHero::~cHero() = default;
void cHero::OnScale(int nScale) { (void)nScale; }
void cHero::UpdateHitBoxX() {}
void cHero::UpdateHitBoxY() {}
int cHero::ClampX() { return 0; }
int cHero::ClampY() { return 0; }
int cHero::MoveX() { return 0; }
int cHero::MoveY() { return 0; }
int cHero::RunFlows(int bDeathOnly) { (void)bDeathOnly; return 0; }
void cHero::DoJump(cCmdRun* pJumpRun) { (void)pJumpRun; }
