#pragma once
#include <QtCore/qglobal.h>

#if defined(ORVESSA_BUILD)
#define ORVESSA_EXPORT Q_DECL_EXPORT
#else
#define ORVESSA_EXPORT Q_DECL_IMPORT
#endif
