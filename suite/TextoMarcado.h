#pragma once
// The small tag language of user-facing texts: <b>..</b>, <u>..</u>, <br>,
// and <c=&HBBGGRR&>..</c> (a colour in blue-green-red order). Every other
// character is shown literally.
#include "suite/Exporta.h"

#include <QColor>
#include <QString>

namespace orvessa {

// Rich text (Qt's HTML subset) that renders the marked-up text; everything
// that is not one of the tags above is escaped.
ORVESSA_EXPORT QString TextoMarcadoParaHtml(const QString& marcado);
// The text without its tags, <br> as a line break.
ORVESSA_EXPORT QString TextoMarcadoParaSimples(const QString& marcado);
// &HBBGGRR (or a decimal OLE colour) -> QColor.
ORVESSA_EXPORT QColor CorOle(long bgr);
ORVESSA_EXPORT long OleDeCor(const QColor& cor);

}  // namespace orvessa
