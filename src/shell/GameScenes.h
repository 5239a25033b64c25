#pragma once
// Installs the game's scenes and the services they reach the shell through:
// the scene factory and the front end's host.
void InstallGameScenes();
