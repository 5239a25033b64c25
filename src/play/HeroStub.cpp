// STUB for the hero's owner to replace: the pick-up pop-up is not shown yet.
// Delete this file when cHero::PopItemIcon is defined with the hero.
#include "play/Hero.h"

void cHero::PopItemIcon(int nKind, int nCell, int nExtra) {
    (void)nKind;
    (void)nCell;
    (void)nExtra;
}
