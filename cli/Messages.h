#pragma once

// The tool's own texts. Where the window shows a message for the same
// situation, the tool uses the window's text (model/, transfer/ and the ones
// marked below), so that users and scripts meet one wording.

// The window's texts.
inline constexpr const char* DeviceNotFoundText = "Device not found";
inline constexpr const char* InvalidValueText = "Invalid or too big value!";
inline constexpr const char* WriteErrorText = "Error occured during write - please retry!";
inline constexpr const char* LoadDefaultsQuestion = "Are you sure you want to load defaults?";

// The tool's own.
inline constexpr const char* DeviceNotOpenedText = "Device found but could not be opened: ";
inline constexpr const char* DeviceLostText = "Could not send to the device: it is no longer connected";
inline constexpr const char* NoAnswerText = "No answer from the device";
inline constexpr const char* NoStatusText = "No status report from the device";
inline constexpr const char* BlockReadErrorText = "Could not read device memory - please retry!";
inline constexpr const char* UnknownParameterText = "Unknown parameter: ";
inline constexpr const char* UnlistedParameterText = "Parameter cannot be changed: ";
inline constexpr const char* StepStateText = "Regulator steps can only be changed while the DCDC state is 07; it is ";
inline constexpr const char* StepNumberText = "Step must be a number from 1 to 60";
inline constexpr const char* DefaultsNeedYesText = "Not on a terminal: give --yes to load the factory defaults";
inline constexpr const char* DefaultsCancelledText = "Factory defaults not loaded";
inline constexpr const char* FallbackFailedText =
    "Write error occured! Factory defaults could not be loaded either - check the device and import again!";
