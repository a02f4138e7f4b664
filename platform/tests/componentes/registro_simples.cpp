// A library whose DllRegisterServer only waits and answers: the result and
// the wait come from the target's compile definitions.
#include <QtCore/qglobal.h>

#include <chrono>
#include <thread>

#ifndef COMP_RESULTADO
#define COMP_RESULTADO 0L
#endif
#ifndef COMP_ESPERA_MS
#define COMP_ESPERA_MS 0
#endif

extern "C" Q_DECL_EXPORT long DllRegisterServer()
{
    if (COMP_ESPERA_MS > 0)
        std::this_thread::sleep_for(std::chrono::milliseconds(COMP_ESPERA_MS));
    return COMP_RESULTADO;
}

extern "C" Q_DECL_EXPORT long DllUnregisterServer()
{
    return COMP_RESULTADO;
}
