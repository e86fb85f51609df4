#include "sys/ErrorNames.h"

#include <iterator>

namespace {

struct ErrorName {
    OsError code;
    const char* name;
};

// The failures a file, folder or volume operation gives, by their Win32 numbers.
constexpr ErrorName kNames[] = {
    {2, "ERROR_FILE_NOT_FOUND"},      {3, "ERROR_PATH_NOT_FOUND"},
    {4, "ERROR_TOO_MANY_OPEN_FILES"}, {5, "ERROR_ACCESS_DENIED"},
    {6, "ERROR_INVALID_HANDLE"},      {8, "ERROR_NOT_ENOUGH_MEMORY"},
    {15, "ERROR_INVALID_DRIVE"},      {19, "ERROR_WRITE_PROTECT"},
    {21, "ERROR_NOT_READY"},          {23, "ERROR_CRC"},
    {29, "ERROR_WRITE_FAULT"},        {31, "ERROR_GEN_FAILURE"},
    {32, "ERROR_SHARING_VIOLATION"},  {33, "ERROR_LOCK_VIOLATION"},
    {39, "ERROR_HANDLE_DISK_FULL"},   {50, "ERROR_NOT_SUPPORTED"},
    {80, "ERROR_FILE_EXISTS"},        {87, "ERROR_INVALID_PARAMETER"},
    {112, "ERROR_DISK_FULL"},         {123, "ERROR_INVALID_NAME"},
    {183, "ERROR_ALREADY_EXISTS"},    {1117, "ERROR_IO_DEVICE"},
    {1392, "ERROR_FILE_CORRUPT"},     {1393, "ERROR_DISK_CORRUPT"},
};

} // namespace

std::string OsErrorName(OsError error)
{
    for (const ErrorName& known : kNames) {
        if (known.code == error)
            return known.name;
    }
    return "error " + std::to_string(error);
}
