// The play harness of the play tests, built into this program too, for the
// flow tests that play a stage end to end.
#include "../play/PlayHarness.cpp"
