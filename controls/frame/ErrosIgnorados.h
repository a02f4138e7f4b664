#pragma once
// The controls run in resume-next mode: a failing step is skipped and no
// error reaches the host. Called inside a catch block, this leaves the
// skipped error's trace in the log, with the procedure's name.
namespace kestrane {

void RegistrarErroIgnorado(const char* procedimento);

}  // namespace kestrane
