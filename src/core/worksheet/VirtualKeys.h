// The virtual-key codes that the key tables and the key routing use: the
// codes of the system the program came from, kept as data.
#pragma once

#include <cstdint>

enum : uint16_t {
    vkBack = 8,
    vkReturn = 13,
    vkShift = 16,
    vkControl = 17,
    vkMenu = 18,  // Alt
    vkCapital = 20,
    vkEscape = 27,
    vkPrior = 33,
    vkNext = 34,
    vkEnd = 35,
    vkHome = 36,
    vkLeft = 37,
    vkUp = 38,
    vkRight = 39,
    vkDown = 40,
    vkInsert = 45,
    vkDelete = 46,
    vkKey1 = 49,
    vkLWin = 91,
    vkRWin = 92,
    vkF5 = 116,
    vkF6 = 117,
    vkF7 = 118,
    vkF8 = 119,
    vkF9 = 120,
    vkF12 = 123,
    vkComma = 188,
    vkMinus = 189,
    vkPeriod = 190,
};
