#pragma once
// The project records that readers consult while they read: the database's
// list counts (a stored index is valid below its list's count), the sword
// types' part times and the system settings' switches. The context is the
// start-up instances unless a caller (a test, a tool) installs others.
class cDatabase;
class cSystemData;
class cWorldMap;

extern cDatabase recDatabase;
extern cSystemData recSystem;
extern cWorldMap recWorldMap;

const cDatabase& GetContextDatabase();
const cSystemData& GetContextSystem();
// Null restores the start-up instance.
void SetContextDatabase(const cDatabase* lpDatabase);
void SetContextSystem(const cSystemData* lpSystem);

// Entry count of a database list (a DBLIST number).
int GetContextListCount(int nList);
// Sum of the part times of sword type n in 1/10 s, at most 9999; 0 for a
// type that does not exist.
int GetContextSwordTime(int nSwordType);
// Flows flagged for test plays stay in place outside test plays as well.
bool GetContextKeepTestFlows();
