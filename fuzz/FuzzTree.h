// A small file tree taken from a fuzz input, for the readers that take a
// root folder rather than a text: a line "=== relative/path" starts a file,
// the lines after it are its content; "--> relative/path target" makes a
// symbolic link. Paths that would leave the tree (absolute, "..") are
// dropped, so an input can only ever write inside its own temporary folder.
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <string_view>

namespace torvex::fuzz {

// A fresh, empty folder of this process, removed and recreated per call.
std::filesystem::path FreshRoot(const char* name);

// Writes the tree the input describes below root.
void WriteTree(const std::filesystem::path& root, std::string_view input);

// Writes bytes to a file, creating its folders.
void WriteFile(const std::filesystem::path& path, std::string_view bytes);

}  // namespace torvex::fuzz
