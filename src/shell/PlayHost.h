#pragma once
// The stage play's way to the shell: keys outside the recorded input, the
// dialog requests, sounds and music, the close request, fades, the stage's
// image slots and the restart of a free game. Installed with the scenes.
void InstallPlayHost();
