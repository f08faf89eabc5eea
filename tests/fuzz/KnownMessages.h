// Every numbered message the driver operations may leave in ResultText,
// with the operations that may write it and the result that goes with it.
// Shared by the fuzz targets and the fault-injection sweep of the unit suite.
#pragma once

namespace raylet::fuzz {

// Which operation wrote a message.
enum class DriverOp { kSwitchOn, kSwitchOff, kKill };

struct KnownMessage {
  int number;
  const char* text;
  // Operations that may leave it (bit per DriverOp), and the result that
  // goes with it.
  unsigned ops;
  bool result;
};

constexpr unsigned kOn = 1u << static_cast<int>(DriverOp::kSwitchOn);
constexpr unsigned kOff = 1u << static_cast<int>(DriverOp::kSwitchOff);
constexpr unsigned kKillOp = 1u << static_cast<int>(DriverOp::kKill);

inline constexpr KnownMessage kMessages[] = {
    {0, "Raylet does not work while a message spy is running! 0", kOn | kOff | kKillOp, false},
    {1, "IrDA driver is not installed. 1", kOn, false},
    {2, "IrDA driver is not installed. 2", kOn, false},
    {3, "Allready IrDA driver was ENABLE 3", kOn, true},
    {5, "Success! IrDA-driver is ENABLE! 5", kOn, true},
    {6, "The system is out of memory or resources! 6", kOn, false},
    {7, "Non-Win32 .EXE or error in .EXE image! 7", kOn, false},
    {8, "The specified file was not found! 8", kOn, false},
    {9, "The specified path was not found! 9", kOn, false},
    {10, "Raylet can not activate IrDA-driver! 10", kOn, false},
    {11, "Success! IrDA-driver is ENABLE! 11", kOn, true},
    {13, "Raylet cannot open port !\nAnother software possession physical port directly! 13", kOn, false},
    {15, "Registory error! 15", kOn, false},
    {16, "Registory error! 16", kOn, false},
    {17, "Success! IrDA-driver is ENABLE! 17", kOn, true},
    {18, "The system is out of memory or resources! 18", kOn, false},
    {19, "Non-Win32 .EXE or error in .EXE image! 19", kOn, false},
    {20, "The specified file was not found! 20", kOn, false},
    {21, "The specified path was not found! 21", kOn, false},
    {22, "Raylet can not activate IrDA-driver! 22", kOn, false},
    {23, "Success! IrDA-driver is ENABLE! 23", kOn, true},
    {28, "Registory error! 28", kOn, false},
    {29, "Registory error! 29", kOn, false},
    {30, "Success! IrDA-driver is ENABLE! 30", kOn, true},
    {31, "The system is out of memory or resources! 31", kOn, false},
    {32, "Non-Win32 .EXE or error in .EXE image! 32", kOn, false},
    {33, "The specified file was not found! 33", kOn, false},
    {34, "The specified path was not found! 34", kOn, false},
    {35, "Raylet can not activate IrDA-driver! 35", kOn, false},
    {36, "Success! IrDA-driver is ENABLE! 36", kOn, true},
    {38, "IrDA driver is not installed. 38", kOff, true},
    {39, "MS-IrDA driver is not installed. 39", kOff, true},
    {40, "Allready MS-IrDA driver was DISABLE! 40", kOff, true},
    {41, "Raylet cannot open port !\nAnother communication software \nusing virtual com port on IrDA driver! 41", kOff,
     false},
    {42, "Raylet cannot open port !\nAnother software using \nvirtual printer port on IrDA driver! 42", kOff, false},
    {43, "Raylet cannot open port !\nAnother software using \nvirtual port on IrDA driver! 43", kOff, false},
    {44, "Success! IrDA-driver is DISABLE! 44", kOff, true},
    {46, "Success! IrDA-driver is DISABLE! 46", kOff, true},
    {47, "Registory error! 47", kOff, true},
    {48, "Registory error! 48", kOff, true},
    {50, "Success! Raylet kill MS IrDA-driver! 50", kKillOp, true},
    {51, "You must do disable driver first! 51", kKillOp, false},
    {53, "Allready MS-IrDA was killed! 53", kKillOp, true},
};

}  // namespace raylet::fuzz
