#pragma once
// Writing the saved address list: the bytes go to a temporary file in the target's folder, which
// then replaces the target in one step, so a failure never leaves a half-written list and an
// existing file stays as it was unless the new one is complete.

#include <QString>
#include <string>

namespace zb {

// Writes bytes to the file named fileName (exactly that name; an existing file is replaced
// without asking). Raises EInOutError "ファイル <name> を作成できません" when the file cannot be
// written.
void WriteListFile(const QString& fileName, const std::string& bytes);

// The message of that error.
QString CannotCreateMessage(const QString& fileName);

}  // namespace zb
