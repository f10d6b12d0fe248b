#include "Schema.h"

#include "Connessione.h"
#include "Errore.h"
#include "Motore.h"

int DefTabella::indice(QStringView campo) const
{
    for (int i = 0; i < campi.size(); ++i)
        if (campi[i].nome.compare(campo, Qt::CaseInsensitive) == 0)
            return i;
    return -1;
}

namespace Schema {

namespace {
DefCampo T(const char* n, int w) { return {QString::fromLatin1(n), TipoCampo::Testo, w}; }
DefCampo F(const char* n, int w) { return {QString::fromLatin1(n), TipoCampo::Fisso, w}; }
DefCampo I32(const char* n) { return {QString::fromLatin1(n), TipoCampo::Intero32, 0}; }
DefCampo I16(const char* n) { return {QString::fromLatin1(n), TipoCampo::Intero16, 0}; }
DefCampo B(const char* n) { return {QString::fromLatin1(n), TipoCampo::Byte, 0}; }
DefCampo SiNo(const char* n) { return {QString::fromLatin1(n), TipoCampo::Booleano, 0}; }
DefCampo D(const char* n) { return {QString::fromLatin1(n), TipoCampo::Data, 0}; }

QList<DefCampo> chiave() { return {T("Codice", 4), T("Sezione", 1), I32("Immobile"), I16("Progressivo")}; }

QList<DefTabella> costruisci()
{
    QList<DefCampo> riepilogo{T("Codice", 4), T("Sezione", 1), D("EData"), I32("TotUIU")};
    for (int i = 1; i <= 10; ++i) {
        riepilogo.append({QStringLiteral("Tipo%1").arg(i), TipoCampo::Testo, 3});
        riepilogo.append({QStringLiteral("Valore%1").arg(i), TipoCampo::Intero32, 0});
    }
    for (int i = 1; i <= 10; ++i)
        riepilogo.append({QStringLiteral("DesTipo%1").arg(i), TipoCampo::Testo, 100});

    return {
        {QStringLiteral("tUnImm1"),
         chiave() + QList<DefCampo>{T("Categoria", 3), SiNo("BeneComune"), I32("Superficie"), T("EsitoSup", 2),
                                    T("EsitoAgg", 2), B("Riscontro"), B("Istanza"), B("RichPlan"), T("Lotto", 2),
                                    T("Edificio", 2), T("Scala", 2), T("Interno1", 3), T("Interno2", 3),
                                    T("Piano1", 4), T("Piano2", 4), T("Piano3", 4), T("Piano4", 4)}},
        {QStringLiteral("tUnImm2"),
         chiave() + QList<DefCampo>{B("ProgrRec"), T("SezUrbana", 3), T("Foglio", 4), T("Numero", 5),
                                    I16("Denominatore"), T("Subalterno", 4), T("Edificialita", 1)}},
        {QStringLiteral("tUnImm3"),
         chiave() + QList<DefCampo>{B("ProgrRec"), I16("CodiceTop"), T("Toponimo", 16), T("Denominazione", 50),
                                    I32("Strada"), T("Civico1", 6), T("Civico2", 6), T("Civico3", 6), B("Fonte"),
                                    T("Delibera", 70), T("Localita", 30), I32("KM"), I32("CAP")}},
        {QStringLiteral("tUnImm4"),
         chiave() + QList<DefCampo>{I16("ProgrRec"), T("Ambiente", 1), I32("SupAmbiente"), I16("Altezza"),
                                    I16("MaxAltezza")}},
        {QStringLiteral("tUnImm5_6"),
         chiave() + QList<DefCampo>{I16("ProgrRec"), T("Tipo", 1), I32("Soggetto"), T("Denominazione", 150),
                                    T("SedeSoggetto", 4), T("Cognome", 50), T("Nome", 50), T("Sesso", 1),
                                    D("NData"), T("NLuogo", 4), T("CodFisc", 16), T("SedeAutorita", 4),
                                    D("AggData"), I32("Numero"), I32("Repertorio")}},
        {QStringLiteral("tUnImm9"), riepilogo},
        {QStringLiteral("tComuni"),
         {I32("Codice"), F("Nome", 35), F("Provincia", 2), F("Regione", 3), I32("Cap"), I32("Prefisso"),
          F("CodiceCat", 4), I32("CodiceIstat"), I32("Territorio")}},
        {QStringLiteral("tParametri"),
         {T("Codice", 4), T("Nome", 50), T("Provincia", 35), T("CodFis", 11), T("Indirizzo", 40),
          T("Telefono", 15), T("Fax", 15), T("Firma", 50)}},
        {QStringLiteral("tRsuTot"),
         {I32("Codice"), T("Cognome", 30), T("Nome", 30), D("NData"), T("CodFisc", 16), I32("Superficie"),
          I32("Ruolo"), I32("Differenza"), I32("Dichiarabile"), I32("Accertabile"), T("Presente", 1),
          T("Indirizzo", 50), T("Citta", 50)}},
    };
}

QList<ColonnaIndice> colonne(std::initializer_list<const char*> nomi)
{
    QList<ColonnaIndice> r;
    for (const char* n : nomi)
        r.append({QString::fromLatin1(n)});
    return r;
}

QList<DefIndice> costruisciIndici()
{
    const auto unita = colonne({"Codice", "Sezione", "Immobile", "Progressivo"});
    const auto righe = unita + colonne({"ProgrRec"});
    return {
        // the unit key: detail look-ups of a unit, the numbering of its rows;
        // with the surface, an owner's cadastral surface is summed from the index alone
        {QStringLiteral("ixUnImm1Unita"), QStringLiteral("tUnImm1"), unita + colonne({"Superficie"})},
        {QStringLiteral("ixUnImm2Unita"), QStringLiteral("tUnImm2"), righe},
        {QStringLiteral("ixUnImm3Unita"), QStringLiteral("tUnImm3"), righe},
        {QStringLiteral("ixUnImm4Unita"), QStringLiteral("tUnImm4"), righe},
        {QStringLiteral("ixUnImm5_6Unita"), QStringLiteral("tUnImm5_6"), righe},
        // an owner's units, read from the index alone (the surface comparison
        // runs once per taxpayer of a roll)
        {QStringLiteral("ixUnImm5_6Soggetto"), QStringLiteral("tUnImm5_6"), colonne({"Soggetto"}) + unita},
        // covers every column of the owner list, so opening it reads the index
        // alone, names already in their order
        {QStringLiteral("ixUnImm5_6Elenco"), QStringLiteral("tUnImm5_6"),
         QList<ColonnaIndice>{{QStringLiteral("Denominazione"), true}} +
             colonne({"Codice", "Cognome", "Nome", "Soggetto", "NData", "NLuogo", "CodFisc"})},
        // cadastral identifiers searched by sheet and parcel
        {QStringLiteral("ixUnImm2Foglio"), QStringLiteral("tUnImm2"), colonne({"Codice", "Foglio", "Numero", "Subalterno"})},
        // a roll row by surname, first name and birth date: the letters join
        // the owners to the roll on them
        {QStringLiteral("ixRsuTotNome"), QStringLiteral("tRsuTot"), colonne({"Cognome", "Nome", "NData"})},
        {QStringLiteral("ixUnImm9Codice"), QStringLiteral("tUnImm9"), colonne({"Codice"})},
        {QStringLiteral("ixComuniCodiceCat"), QStringLiteral("tComuni"), colonne({"CodiceCat"})},
        {QStringLiteral("ixComuniNome"), QStringLiteral("tComuni"), colonne({"Nome"})},
    };
}
}  // namespace

const QList<DefTabella>& tabelle()
{
    static const QList<DefTabella> t = costruisci();
    return t;
}

const QList<DefIndice>& indici()
{
    static const QList<DefIndice> i = costruisciIndici();
    return i;
}

const DefTabella* tabella(QStringView nome)
{
    for (const DefTabella& t : tabelle())
        if (t.nome.compare(nome, Qt::CaseInsensitive) == 0)
            return &t;
    return nullptr;
}

void verifica(Connessione& db, const DefTabella& t)
{
    const auto colonne = db.colonne(t.nome);
    if (colonne.isEmpty())
        throw Errore(QStringLiteral("Tabella %1 non trovata nel database %2").arg(t.nome, db.file()));
    for (const DefCampo& c : t.campi) {
        const auto it = std::find_if(colonne.begin(), colonne.end(), [&](const Connessione::InfoColonna& i) {
            return i.nome.compare(c.nome, Qt::CaseInsensitive) == 0;
        });
        if (it == colonne.end())
            throw Errore(QStringLiteral("Tabella %1: manca la colonna %2").arg(t.nome, c.nome));
        const QString tipo = db.motore().tipoColonna(c);
        if (it->tipo.compare(tipo, Qt::CaseInsensitive) != 0)
            throw Errore(QStringLiteral("Tabella %1: la colonna %2 è di tipo %3 invece di %4")
                             .arg(t.nome, c.nome, it->tipo.isEmpty() ? QStringLiteral("(nessuno)") : it->tipo, tipo));
    }
}

void crea(Connessione& db)
{
    Motore& m = db.motore();
    QStringList istruzioni = m.preparaSchema();
    for (const DefTabella& t : tabelle())
        istruzioni += m.creaTabella(t);
    for (const DefIndice& i : indici())
        istruzioni += m.creaIndice(i);
    for (const QString& s : istruzioni)
        db.esegui(s);
}

void elimina(Connessione& db)
{
    for (const DefTabella& t : tabelle())
        if (db.esisteTabella(t.nome))
            db.esegui(QStringLiteral("DROP TABLE ") + t.nome);
    for (const QString& s : db.motore().eliminaSchema())
        db.esegui(s);
}

}  // namespace Schema
