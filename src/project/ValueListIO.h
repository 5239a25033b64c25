#pragma once
// Lists of plain values inside record files: an int32 count, then the values
// (bytes, little-endian int32s, or strings as int32 length + 1 and the bytes
// with their terminating zero). Counts are bounded by the bytes left.
#include <cstdint>
#include <string>

#include "foundation/ChkContainers.h"
#include "foundation/Record.h"

void ReadByteList(cDataFile* fp, cChkVector<uint8_t>& v);
void ReadIntList(cDataFile* fp, cChkVector<int32_t>& v);
void ReadStringList(cDataFile* fp, cChkVector<std::string>& v);
// One string in the record form; empty (and the stream failed) on bad data.
std::string ReadLooseString(cDataFile* fp);

void WriteByteList(cDataFile* fp, const cChkVector<uint8_t>& v);
void WriteIntList(cDataFile* fp, const cChkVector<int32_t>& v);
void WriteStringList(cDataFile* fp, const cChkVector<std::string>& v);
void WriteLooseString(cDataFile* fp, const std::string& s);
