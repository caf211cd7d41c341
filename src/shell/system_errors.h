#pragma once
// Chinese sentences for the file-system errors a surveyor meets: every message
// that passes on a failure of the system says what happened in the program's
// language. Only an error without a sentence of its own falls back to the
// system's text, after a Chinese lead-in.

#include <string>
#include <system_error>

#include "shell/status.h"

namespace skyrell {

// The sentence for a system error number (errno), e.g. EACCES ->
// "没有访问权限。"; an unlisted number gives "系统错误（错误号 N）：" and
// the system's own description.
std::string SystemErrorText(int code);

// The same for an error code of the standard library: codes that map to an
// errno value are told like it, others by the lead-in and their message.
std::string SystemErrorText(const std::error_code& code);

// A failure with the sentence of a system error number as its message and the
// number as its code.
Status SystemFailure(int code);

}  // namespace skyrell
