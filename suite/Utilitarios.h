#pragma once
// The suite's global utility object.
#include "suite/Exporta.h"

#include <QDate>
#include <QString>
#include <functional>

namespace orvessa {

// The fixed appearance list every message-box call passes after the title.
struct AparenciaCaixa {
    long valores[22] = {2, 0, 0xACACAC, 0xE59D56, 0xEAB47E, 0, 0xFBFBFB, 0xECECEC, 0xECECEC, 0xECECEC,
                        0xF9F9F9, 0xF9F9F9, 0 /*font*/, 0 /*picture*/, 0xF9F9F9, 0, 0, 0, 0, -1, 0, -1};
};

class ORVESSA_EXPORT Utilitarios {
public:
    static Utilitarios& Instancia();

    int CaixaMensagem(const QString& texto, int estilo, const QString& titulo,
                      const AparenciaCaixa& aparencia = AparenciaCaixa());
    int CaixaMensagemAviso(const QString& texto, int estilo, const QString& titulo,
                           const AparenciaCaixa& aparencia = AparenciaCaixa());

    bool ArquivoExiste(const QString& caminho, int atributos = 0) const;
    void ExcluirArquivo(const QString& caminho) const;

    // The scratch folder, without a trailing separator. Tests may redirect it.
    QString DiretorioTemporario() const;
    void DefinirDiretorioTemporario(const QString& pasta);

    QString GerarAleatorio(const QString& separador, int quantidade, int maximo) const;

    void EncerrarProcesso(const QString& imagem) const;
    void AbrirURL(const QString& endereco) const;
    void AbrirArquivo(const QString& caminho) const;

    // Never blocks the window: answers from the interfaces and routes the
    // system knows, without a network round trip. Tests may override it.
    bool ConexaoInternetAtiva() const;
    void DefinirVerificadorConexao(std::function<bool()> verificador);

    // Windows profile (ini) rules: sections and keys found without regard to
    // case, names written literally, the rest of the file kept.
    // GravarINI answers whether the value reached the file; when it did not,
    // the reason (naming the file) goes to qWarning.
    QString LerINI(const QString& arquivo, const QString& secao, const QString& chave) const;
    bool GravarINI(const QString& arquivo, const QString& secao, const QString& chave,
                   const QString& valor) const;

    // Removes every section of that name with its keys, the rest of the file
    // kept; a missing file or section is left as it is. False, with the
    // reason in the log, when the file could not be read or written.
    bool RemoverSecaoINI(const QString& arquivo, const QString& secao) const;

    bool ValidarData(const QString& texto, int codigo) const;  // 25 YYYY-MM-DD, 60 MM/YYYY
    QString FormatarData(const QDate& data, const QString& formato) const;
    bool ValidarCPF(const QString& texto) const;
    QString TextoEntreMarcadores(const QString& texto, const QString& inicio, const QString& fim) const;
    QString FormatarTamanho(double bytes) const;

    // AES-256-GCM, key derived from the key text (empty: built-in default),
    // output in upper-case hexadecimal. Decifrar of anything else gives "".
    QString Cifrar(const QString& texto, const QString& chave) const;
    QString Decifrar(const QString& hex, const QString& chave) const;

    // Lower case, accents removed: the form an executable's image name takes.
    QString NormalizarTexto(const QString& texto) const;

    void RegistrarPastaArquivo(const QString& pasta) const;

private:
    Utilitarios();
    QString temporario_;
};

}  // namespace orvessa
