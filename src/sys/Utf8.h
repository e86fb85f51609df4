#pragma once
// UTF-8 is the program's string encoding; wide strings exist only at the Win32 call.
#include <string>
#include <string_view>

std::wstring Widen(std::string_view utf8);
std::string Narrow(std::wstring_view wide);
