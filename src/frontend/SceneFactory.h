#pragma once
// Makes the scene object of each scene type: the title, world map, save
// data, stage select and options of the front end, and the stage play.
class cScene;

cScene* CreateGameScene(int nType);
