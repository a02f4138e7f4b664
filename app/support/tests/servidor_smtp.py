#!/usr/bin/python3
"""SMTP server for the mail tests, on 127.0.0.1 only.

STARTTLS and AUTH are required; the certificate authority and the server
certificate are made for this run in the given folder (ca.pem is what the
client must trust). Every message accepted is written as <n>.eml and as
<n>.json, a summary read by the tests, before the server answers 250.

Recipients steer the server: one whose local part starts with "recusado" is
refused with 550; with one starting with "lento" the answer to the data
waits 30 seconds.

Usage: servidor_smtp.py <folder> <login> <password> [sem-resumo] [limite=<bytes>]
("sem-resumo" keeps only the .eml files, for the benchmarks; "limite" is the
largest message taken, announced as SIZE, 200 MB when not given.)
Prints "pronto <port>" once it listens.
"""
import asyncio
import hashlib
import json
import os
import ssl
import subprocess
import sys
from email import message_from_bytes, policy
from email.policy import compat32

from aiosmtpd.smtp import SMTP, AuthResult, LoginPassword


def openssl(*args, pasta):
    subprocess.run(["openssl", *args], cwd=pasta, check=True,
                   stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def certificados(pasta):
    ec = ["-newkey", "ec", "-pkeyopt", "ec_paramgen_curve:prime256v1", "-nodes"]
    openssl("req", "-x509", *ec, "-keyout", "ca.key", "-out", "ca.pem", "-days", "2",
            "-subj", "/CN=Autoridade de teste", "-addext", "basicConstraints=critical,CA:TRUE",
            "-addext", "keyUsage=critical,keyCertSign,cRLSign", pasta=pasta)
    openssl("req", *ec, "-keyout", "servidor.key", "-out", "servidor.csr",
            "-subj", "/CN=127.0.0.1", pasta=pasta)
    with open(os.path.join(pasta, "ext.cnf"), "w") as f:
        f.write("subjectAltName=IP:127.0.0.1,DNS:localhost\n"
                "basicConstraints=CA:FALSE\nextendedKeyUsage=serverAuth\n")
    openssl("x509", "-req", "-in", "servidor.csr", "-CA", "ca.pem", "-CAkey", "ca.key",
            "-CAcreateserial", "-out", "servidor.pem", "-days", "2", "-extfile", "ext.cnf",
            pasta=pasta)
    contexto = ssl.create_default_context(ssl.Purpose.CLIENT_AUTH)
    contexto.load_cert_chain(os.path.join(pasta, "servidor.pem"), os.path.join(pasta, "servidor.key"))
    return contexto


def resumo(envelope):
    dados = envelope.original_content or envelope.content
    mensagem = message_from_bytes(dados, policy=policy.default)
    bruta = message_from_bytes(dados, policy=compat32)
    saida = {
        "mail_from": envelope.mail_from,
        "mail_options": envelope.mail_options,
        "rcpt_tos": envelope.rcpt_tos,
        "cabecalhos": [[k, str(v)] for k, v in mensagem.items()],
        "brutos": [[k, v] for k, v in bruta.items()],
        "texto": None,
        "html": None,
        "relacionadas": [],
        "anexos": [],
    }
    for parte in mensagem.walk():
        if parte.is_multipart():
            continue
        tipo = parte.get_content_type()
        conteudo = parte.get_payload(decode=True) or b""
        if parte.get_filename():
            saida["anexos"].append({
                "nome": parte.get_filename(), "tipo": tipo, "tamanho": len(conteudo),
                "sha256": hashlib.sha256(conteudo).hexdigest()})
        elif parte["Content-ID"]:
            saida["relacionadas"].append({
                "cid": str(parte["Content-ID"]).strip("<>"), "tipo": tipo,
                "sha256": hashlib.sha256(conteudo).hexdigest()})
        elif tipo == "text/plain" and saida["texto"] is None:
            saida["texto"] = parte.get_content()
        elif tipo == "text/html" and saida["html"] is None:
            saida["html"] = conteudo.decode("latin-1")
            saida["html_tipo"] = str(parte["Content-Type"])
    return saida


class Caixa:
    def __init__(self, pasta, resumir):
        self.pasta = pasta
        self.resumir = resumir
        self.total = 0

    async def handle_RCPT(self, server, session, envelope, address, rcpt_options):
        if address.split("@")[0].startswith("recusado"):
            return "550 5.1.1 Destinatario recusado pelo servidor de teste"
        envelope.rcpt_tos.append(address)
        return "250 OK"

    async def handle_DATA(self, server, session, envelope):
        if any(r.split("@")[0].startswith("lento") for r in envelope.rcpt_tos):
            await asyncio.sleep(30)
        self.total += 1
        base = os.path.join(self.pasta, "%03d" % self.total)
        with open(base + ".eml", "wb") as f:
            f.write(envelope.original_content or envelope.content)
        if self.resumir:
            with open(base + ".json.tmp", "w") as f:
                json.dump(resumo(envelope), f)
            os.replace(base + ".json.tmp", base + ".json")
        return "250 Mensagem aceita"


async def principal(pasta, login, senha, *opcoes):
    contexto = certificados(pasta)
    caixa = Caixa(pasta, "sem-resumo" not in opcoes)
    limite = 200 * 1024 * 1024
    for opcao in opcoes:
        if opcao.startswith("limite="):
            limite = int(opcao[len("limite="):])

    def autenticar(server, session, envelope, mechanism, auth_data):
        if isinstance(auth_data, LoginPassword) and auth_data.login == login.encode() \
                and auth_data.password == senha.encode():
            return AuthResult(success=True)
        return AuthResult(success=False, handled=False,
                          message="535 5.7.8 Credenciais recusadas pelo servidor de teste")

    def fabrica():
        return SMTP(caixa, hostname="teste.local", tls_context=contexto, require_starttls=True,
                    auth_required=True, auth_require_tls=True, authenticator=autenticar,
                    data_size_limit=limite)

    laco = asyncio.get_running_loop()
    servidor = await laco.create_server(fabrica, host="127.0.0.1", port=0)
    porta = servidor.sockets[0].getsockname()[1]
    print("pronto %d" % porta, flush=True)
    # Ends when the test closes our standard input (or ends us).
    leitor = asyncio.StreamReader()
    await laco.connect_read_pipe(lambda: asyncio.StreamReaderProtocol(leitor), sys.stdin)
    await leitor.read()
    servidor.close()


if __name__ == "__main__":
    asyncio.run(principal(*sys.argv[1:]))
