#pragma once

// Qt switches the C library to the user's locale when the application object is created;
// under a locale with a decimal comma, printf and strtod would then write and read numbers
// that no file or device of ours understands. Call this right after creating the application.
void ResetNumericLocale();
