// A setting of the current drawing by name, as text, for the checks of the
// host program's scripts ("!expect setting NAME VALUE").
//
// `velmSettingText` is exported like the entry point, so a host program can
// reach it through the loaded module without the module knowing the script
// driver.
#pragma once

#include <cstddef>

// Writes the setting's value (a text as stored, an integer in decimal, a
// real with 17 significant digits) into `text` of `size` bytes. Returns the
// length of the whole value, or -1 for an unknown name or no drawing; the
// text is cut to fit but always terminated when size > 0.
extern "C" int velmSettingText(const char* name, char* text, std::size_t size);
