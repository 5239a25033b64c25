#pragma once
// Indexes of the demo's common palette entries.
class cCommonPalette;

enum : int { BLK_GROUND = 1, BLK_EARTH, BLK_BRICK, BLK_STONE, BLK_QUESTION, BLK_SPIKES, BLK_CLOUD, BLK_SPRING, BLK_MUD,
             BLK_ICE, BLK_CONVEYOR_LEFT, BLK_CONVEYOR_RIGHT, BLK_LEAVES, BLK_MARK, BLK_INVISIBLE, BLK_BRIDGE };
enum : int { CHR_HERO = 1, CHR_SLIME, CHR_BAT, CHR_KNIGHT, CHR_TURRET, CHR_PLATFORM, CHR_FROG, CHR_SORCERER, CHR_SIGN,
             CHR_CHEST };
enum : int { ITM_COIN = 1, ITM_HEART, ITM_STAR, ITM_GOAL, ITM_WING, ITM_POTION, ITM_KEY };

// Whether the palette's flows and item lists use every command kind,
// trigger and item command kind (what is missing goes to standard error).
bool CheckDemoCoverage(const cCommonPalette& cp);
