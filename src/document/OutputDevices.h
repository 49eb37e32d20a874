#pragma once
// The outputs a scenario step or a detector's linked output may name: the
// one device list both editors offer, and the numbers each device offers.
// Every text is CP1251 bytes; device names are the five characters the
// lists show (a ПИУ as "ПИУ" + slot + "1", stored in steps and linked
// outputs as "БКА" + slot + "1").
#include "IniStore.h"

#include <string>
#include <string_view>
#include <vector>

namespace kvort {

// The device list, built from [СОСТАВ]: the empty entry (no output), "ПУ-П ",
// "ППКП" + n for every slot 1..8 that holds a panel, "БРВУ1".."БРВУ8",
// "ВНЕШН", "СЦЕН.", then slot by slot from 0 up to the first empty slot the
// detector lines of each panel ("БКА" + slot + line, 4 or 8 lines as the
// kind says) and the one line of each ПИУ ("ПИУ" + slot + "1").
std::vector<std::string> BuildOutputDeviceList(const IniStore& cnf);

// The numbers a scenario step offers for a device, "%2.2d" from "01": 8
// relays of a ПУ-П, ППКП or БРВУ (whatever the panel's line count), 24
// outputs of a ПИУ, 60 addresses of a БКА line, 128 external outputs or
// scenarios ("99", then "100"). Empty for no device or an unknown one.
std::vector<std::string> StepNumberList(std::string_view device);

} // namespace kvort
