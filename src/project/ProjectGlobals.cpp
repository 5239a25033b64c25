// The start-up instances of the project records. They hold defaults until
// the start-up loader reads the project's files into them.
#include "project/Database.h"
#include "project/ProjectContext.h"
#include "project/SystemData.h"
#include "project/WorldMap.h"

cSystemData recSystem;
cDatabase recDatabase;
cWorldMap recWorldMap;
