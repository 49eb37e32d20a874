#pragma once
// Editing the description of an output from a scenario step: the person
// has just chosen the output there. Texts are CP1251 bytes.
#include "UserPrompts.h"
#include "document/IniStore.h"

#include <string>
#include <string_view>

namespace kvort {

// The [ОПИСАНИЕ ВЫХОДОВ] key of an output: the device as the step list shows
// it (a ПИУ keeps its name), "/", the number as shown.
std::string OutputDescriptionKey(std::string_view device, std::string_view number);

// Asks for the description of a step's output in the input box (caption:
// the key) and stores it upper-cased; an empty text deletes it, and a
// cancelled box writes the old one again. A step without a device, or on a
// line of modules ("БКА"), has nothing to describe: false, nothing asked.
bool EditOutputDescription(IniStore& cnf, UserPrompts& prompts, std::string_view device,
                           std::string_view number);

} // namespace kvort
