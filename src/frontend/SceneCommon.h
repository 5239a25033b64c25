#pragma once
// What the front-end scenes share: the menu buttons of input device 0, the
// scene music request, the palette fades of the scene switch and the
// loading of a scene's image slots.
#include <initializer_list>

class cInputState;

enum : int { MENU_BUTTON_DECIDE = 1, MENU_BUTTON_CANCEL = 2 };

// The scene music of scene slot k (0 title, 1 world map and save data,
// 2 stage select, 3 options).
void RequestSceneBgm(int k);
// One step of the scene's fade in or out by the game's fade step; true when
// it has completed.
bool SceneFadeIn();
bool SceneFadeOut();
// Ends a front-end scene's fade-out: clears the back buffer, resets the menu
// cursor and commits the switch to the next scene.
void CommitSceneSwitch(int nOwnType, int nBeforeScene);
// Loads image slots; on failure asks for the close and returns false.
bool LoadSceneImages(std::initializer_list<int> slots);
// Releases the image slots a scene loaded (its destructor).
void ReleaseSceneImages(std::initializer_list<int> slots);
