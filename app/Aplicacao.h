#pragma once
// The program's application object: an exception that escapes an event
// handler goes to the central error handler instead of ending the program
// without a word.
#include "app/Exporta.h"

#include <QApplication>

class QEvent;

namespace qeltrano {

class QELTRANO_EXPORT Aplicacao : public QApplication {
    Q_OBJECT
public:
    Aplicacao(int& argc, char** argv);
    ~Aplicacao() override;

    bool notify(QObject* receptor, QEvent* evento) override;

    // What the handler is told about where the error came from: the
    // receiver's window Name (its class name when it has none), and the
    // event it was handling.
    static QString NomeModulo(const QObject* receptor);
    static QString NomeProcedimento(const QObject* receptor, const QEvent* evento);
};

}  // namespace qeltrano
