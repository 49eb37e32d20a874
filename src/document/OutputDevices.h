#pragma once
// The list of output devices a scenario step or a detector's linked output
// may name, built from the composition of NAME.cnf. The scenario editor and
// the detector dialog offer the same list. CP1251 bytes.
#include "IniStore.h"

#include <string>
#include <vector>

namespace kvort {

// In this order: "" (no device), "ПУ-П ", "ППКП"+n for every slot that holds
// a panel, "БРВУ1".."БРВУ8", "ВНЕШН", "СЦЕН.", then along the slot chain (up
// to the first free slot) "БКА"+slot+line for each line of a panel and
// "ПИУ"+slot+"1" for a ПИУ.
std::vector<std::string> BuildOutputDeviceList(const IniStore& cnf);

} // namespace kvort
