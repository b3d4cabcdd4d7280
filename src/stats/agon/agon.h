// The statistics library as the viewer sees it: seven functions with C names, loaded by name at
// run time. Only integers, pointers and zero-terminated code page 1251 texts cross; the one
// exception is the character string "Can't open" thrown by OpenDatabase.
#pragma once

#define AGON_EXPORT __attribute__((visibility("default")))

extern "C" {

// Makes the database at a program path the current one; 1 on success. A missing file, a file
// that is not a statistics database or one with another password throws "Can't open".
AGON_EXPORT int OpenDatabase(const char* path);
AGON_EXPORT void CloseDatabase();

// The number of records the query yields; 0 on any error and when no database is open.
AGON_EXPORT int GetQueryLenght(const char* sql);
// One record per buffer of 256 bytes: the column's text cut to 255 bytes, or a null pointer
// for a value that is not a text. 1 on success, 0 on error or an empty result.
AGON_EXPORT int GetList(char** buffers, const char* sql, const char* column);
// One record per integer: the column's value cut to 32 bits, fractions truncated.
AGON_EXPORT int GetArray(int* values, const char* sql, const char* column);
// Write the query's records as a result table (games or football layout). 1 on success; 0 when
// the file cannot be opened (after a message box), the query fails or a write fails.
AGON_EXPORT int FileCreate(const char* path, const char* sql);
AGON_EXPORT int FileCreateFootball(const char* path, const char* sql);
}

namespace agon {

// The size of each text buffer the caller hands to GetList.
inline constexpr int kListBufferSize = 256;
// The caption of the message box shown when a table file cannot be opened.
inline constexpr const char* kCannotWriteCaption = "Can't open file for writing.....";
inline constexpr const char* kCannotOpenDatabase = "Can't open";

using OpenDatabaseFunction = int(const char*);
using CloseDatabaseFunction = void();
using GetQueryLenghtFunction = int(const char*);
using GetListFunction = int(char**, const char*, const char*);
using GetArrayFunction = int(int*, const char*, const char*);
using FileCreateFunction = int(const char*, const char*);

}  // namespace agon
