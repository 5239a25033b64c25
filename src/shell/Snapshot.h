#pragma once
// The last presented frame written to a file at the end of a run, when the
// environment variable MOSSGROVE_SNAPSHOT names one (a binary PPM picture):
// for unattended runs that show what the player saw.
void WriteSnapshotIfAsked();
