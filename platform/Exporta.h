#pragma once
#include <QtCore/qglobal.h>

#if defined(PLATAFORMA_BUILD)
#define PLATAFORMA_EXPORT Q_DECL_EXPORT
#else
#define PLATAFORMA_EXPORT Q_DECL_IMPORT
#endif
