#pragma once
// What the computer is: main board, processor, BIOS, system and memory, read
// from the kernel's DMI and processor files on first use.
#include "app/Exporta.h"

#include <QString>

namespace qeltrano {

class QELTRANO_EXPORT InformacoesComputador {
public:
    // `raiz` is the folder that holds sys/ and proc/ ("/" normally).
    explicit InformacoesComputador(const QString& raiz = QStringLiteral("/"));

    QString PlacaMae_Nome();
    QString PlacaMae_Serial();
    QString PlacaMae_Versao();
    QString Processador_Nome();
    QString Processador_Descricao();
    QString Bios_Versao();
    QString Sistema_Nome();
    QString Sistema_Fabricante();
    QString Sistema_Modelo();
    // Bytes, as decimal text.
    QString Sistema_TotalMemoriaFisica();

private:
    void CarregarInformacoesComputador();

    QString raiz_;
    bool carregado_ = false;
    QString placaNome_, placaSerial_, placaVersao_;
    QString processadorNome_, processadorDescricao_;
    QString biosVersao_;
    QString sistemaNome_, sistemaFabricante_, sistemaModelo_, memoria_;
};

}  // namespace qeltrano
