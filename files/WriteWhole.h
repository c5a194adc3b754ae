#pragma once
// All of a text onto a descriptor: short writes and interrupted ones are carried on.

#include <string_view>

// 0 once every byte is written, else the error that stopped it (ENOSPC when the system wrote
// nothing and said nothing: a full disk or a size limit).
int WriteWhole(int fd, std::string_view data);
