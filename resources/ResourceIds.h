#pragma once

// Identifiers of the program's resources: dialog templates, strings,
// pictures, and the controls of each dialog. Control identifiers repeat
// between dialogs, so each dialog's controls have a namespace of their own.

namespace ResourceId
{
inline constexpr int AboutBox = 100;
inline constexpr int MainWindow = 102;
inline constexpr int StatusPanel = 131;
inline constexpr int SettingsPanel = 132;
inline constexpr int ScriptPanel = 133;
inline constexpr int SleepDialog = 136;

inline constexpr int AppIcon = 128;
inline constexpr int LogoBitmap = 130;
inline constexpr int ScriptTimingBitmap = 138;

inline constexpr int AboutMenuText = 101;       // string: the system menu's About item
inline constexpr int SocketsFailedText = 103;   // string
} // namespace ResourceId

// Commands every dialog shares.
namespace DialogCommand
{
inline constexpr int Ok = 1;
inline constexpr int Cancel = 2;
inline constexpr int AboutBox = 16; // system command of the About item (low four bits are the system's)
} // namespace DialogCommand

namespace MainWindowControl
{
inline constexpr int VoltageIn = 1002;
inline constexpr int Ignition = 1003;
inline constexpr int VoltageOut = 1004;
inline constexpr int VoltageEntry = 1010;
inline constexpr int AuxOutput = 1021;
inline constexpr int StatusButton = 1022;
inline constexpr int SettingsButton = 1023;
inline constexpr int MinimizeButton = 1025;
inline constexpr int PowerSwitch = 1027;
inline constexpr int VOutOn = 1028;
inline constexpr int SetVoltageVolatile = 1029;
inline constexpr int StepUp = 1030;
inline constexpr int StepDown = 1031;
inline constexpr int SetAndSaveVoltage = 1032;
inline constexpr int ScriptButton = 1036;
} // namespace MainWindowControl

namespace StatusPanelControl
{
inline constexpr int TimeConfig = 1000;
inline constexpr int VoltageConfig = 1001;
inline constexpr int Mode = 1005;
inline constexpr int VoltageFlags = 1006;
inline constexpr int OutputFlags = 1007;
inline constexpr int PinConfiguration = 1008;
inline constexpr int TimerFlags = 1009;
inline constexpr int DcdcState = 1012;
inline constexpr int ScriptStep = 1022;
inline constexpr int WaitTimer = 1023;
inline constexpr int VOutTimer = 1024;
inline constexpr int PowerSwitchTimer = 1025;
inline constexpr int VAuxTimer = 1026;
inline constexpr int OffDelayTimer = 1027;
inline constexpr int HardOffTimer = 1028;
inline constexpr int RegulatorSteps = 1029;
} // namespace StatusPanelControl

namespace SettingsPanelControl
{
inline constexpr int ParameterList = 1013;
inline constexpr int ValueEdit = 1014;
inline constexpr int UnitText = 1015;
inline constexpr int DescriptionText = 1017;
inline constexpr int LoadDefaults = 1032;
inline constexpr int ExportToFile = 1033;
inline constexpr int ImportFromFile = 1034;
inline constexpr int Save = 1039;
inline constexpr int Progress = 1058;
inline constexpr int StatusText = 1059;
} // namespace SettingsPanelControl

namespace ScriptPanelControl
{
inline constexpr int StartScript = 1033;
inline constexpr int StopScript = 1034;
inline constexpr int SaveChanges = 1035;
inline constexpr int Sleep = 1036;
inline constexpr int StepList = 1041;
inline constexpr int VOutT1State = 1042;
inline constexpr int VOutT2State = 1043;
inline constexpr int OutputVoltage = 1044;
inline constexpr int VOutT1Time = 1045;
inline constexpr int VOutT2Time = 1046;
inline constexpr int VAuxT1State = 1047;
inline constexpr int VAuxT2State = 1048;
inline constexpr int VAuxT1Time = 1049;
inline constexpr int VAuxT2Time = 1050;
inline constexpr int PwsT1State = 1051;
inline constexpr int PwsT2State = 1052;
inline constexpr int PwsT1Time = 1053;
inline constexpr int PwsT2Time = 1054;
inline constexpr int GlobalWaitTime = 1055;
inline constexpr int RepeatFromFirst = 1056;
inline constexpr int PlayNextStep = 1057;
inline constexpr int SkipThisStep = 1058;
} // namespace ScriptPanelControl

namespace SleepDialogControl
{
inline constexpr int SleepTime = 1057;
} // namespace SleepDialogControl
