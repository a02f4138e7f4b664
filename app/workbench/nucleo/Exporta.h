#pragma once
#include <QtCore/qglobal.h>

#if defined(NUCLEO_BUILD)
#define NUCLEO_EXPORT Q_DECL_EXPORT
#else
#define NUCLEO_EXPORT Q_DECL_IMPORT
#endif
