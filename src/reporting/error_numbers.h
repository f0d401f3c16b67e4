// The run-time error numbers this program raises or names, each once.
#pragma once

namespace err {

inline constexpr int kSuccess = 0;
inline constexpr int kInternalConsistency = 8;
inline constexpr int kPermissionDenied = 9;
inline constexpr int kCannotOverwrite = 10;
inline constexpr int kEndOfFile = 24;
inline constexpr int kCloseError = 28;
inline constexpr int kFileNotFound = 29;
inline constexpr int kOpenFailure = 30;
inline constexpr int kWriteError = 38;
inline constexpr int kReadError = 39;
inline constexpr int kNoMemory = 41;
inline constexpr int kNoSuchDevice = 42;
inline constexpr int kFileNameError = 43;
inline constexpr int kWriteToReadOnly = 47;
inline constexpr int kSyntaxError = 59;
inline constexpr int kTypeMismatch = 61;
inline constexpr int kOutputConversion = 63;
inline constexpr int kInputConversion = 64;
inline constexpr int kFloatInvalid = 65;
inline constexpr int kRecordOverflow = 66;
inline constexpr int kFloatOverflow = 72;
inline constexpr int kFloatDivideByZero = 73;
inline constexpr int kFloatUnderflow = 74;
inline constexpr int kNoBufferMemory = 98;
inline constexpr int kBadFormattedRecordLength = 99;
inline constexpr int kBadBlockSize = 106;
inline constexpr int kBadBufferCount = 107;
inline constexpr int kFloatInexact = 140;
// Processor faults.
inline constexpr int kAccessViolation = 157;
inline constexpr int kDatatypeMisalignment = 158;
inline constexpr int kBreakpoint = 159;
inline constexpr int kSingleStep = 160;
inline constexpr int kArrayBoundsExceeded = 161;
inline constexpr int kDenormalOperand = 162;
inline constexpr int kFloatStackCheck = 163;
inline constexpr int kIntegerDivideByZero = 164;
inline constexpr int kIntegerOverflow = 165;
inline constexpr int kPrivilegedInstruction = 166;
inline constexpr int kInPageError = 167;
inline constexpr int kIllegalInstruction = 168;
inline constexpr int kNoncontinuable = 169;
inline constexpr int kStackOverflow = 170;
inline constexpr int kInvalidDisposition = 171;
inline constexpr int kUnlistedException = 172;
inline constexpr int kArraySizeOverflow = 179;
inline constexpr int kConsoleEvent = 200;
// Numbers 404 to 407 carry a traceback whatever their severity.
inline constexpr int kTracedFirst = 404;
inline constexpr int kTracedLast = 407;
inline constexpr int kMessageNotFound = 500;
inline constexpr int kNoMessageBuffer = 502;
inline constexpr int kNoSystemMessage = 504;
// A pass-through warning row: the bad FOR_FMT_TERMINATOR rule, in our words.
inline constexpr int kBadTerminatorRule = 400;
// The severity prefixes and the library's name as catalogue texts.
inline constexpr int kPrefixSuccess = 450;
inline constexpr int kPrefixInfo = 451;
inline constexpr int kPrefixWarning = 452;
inline constexpr int kPrefixError = 453;
inline constexpr int kPrefixSevere = 454;
inline constexpr int kLibraryName = 455;

}  // namespace err
