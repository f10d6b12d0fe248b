# sorvel-cli end to end: init-db, params, the refusal to overwrite, errors.
set(dir ${CMAKE_CURRENT_BINARY_DIR}/cli-prova)
file(REMOVE_RECURSE ${dir})
file(MAKE_DIRECTORY ${dir})

function(esegui atteso)
  execute_process(COMMAND ${CLI} ${ARGN} WORKING_DIRECTORY ${dir}
                  RESULT_VARIABLE rc OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT rc EQUAL atteso)
    message(FATAL_ERROR "sorvel-cli ${ARGN}: exit ${rc}, expected ${atteso}\n${out}\n${err}")
  endif()
  set(out "${out}" PARENT_SCOPE)
  set(err "${err}" PARENT_SCOPE)
endfunction()

esegui(1 params --nome ROMA)                # no sorvel.ini yet: written, but no database
if(NOT err MATCHES "sorvel.mdb")
  message(FATAL_ERROR "missing database not named: ${err}")
endif()
if(EXISTS ${dir}/sorvel.mdb)
  message(FATAL_ERROR "a missing database must not be created")
endif()
esegui(0 init-db)
esegui(1 init-db)
if(NOT err MATCHES "--force")
  message(FATAL_ERROR "init-db over an existing file: ${err}")
endif()
esegui(0 init-db --force)
esegui(0 params --nome " pesaro " --firma "Il Sindaco" --telefono=)
if(NOT out MATCHES "Codice: G479" OR NOT out MATCHES "Nome: PESARO\n" OR NOT out MATCHES "Firma: Il Sindaco" OR NOT out MATCHES "Telefono: \n"
   OR NOT out MATCHES "CAP: 61100")
  message(FATAL_ERROR "params: ${out}")
endif()
esegui(0 params --codice "X'1")   # the name PESARO still wins: its code comes back
if(NOT out MATCHES "Codice: G479")
  message(FATAL_ERROR "params --codice with a known name: ${out}")
endif()
esegui(0 params --codice "X'1" --nome "ATLANTIDE")
if(NOT out MATCHES "Codice: X'1")
  message(FATAL_ERROR "params --codice: ${out}")
endif()
esegui(1 params --sconosciuta 1)
file(WRITE ${dir}/sorvel.ini "Provider=Oracle; Data Source=sorvel.mdb\r\n")
esegui(1 params --nome ROMA)
if(NOT err MATCHES "Oracle")
  message(FATAL_ERROR "unknown provider: ${err}")
endif()

# import and confronto: a tiny supply of Pesaro
file(WRITE ${dir}/sorvel.ini "Provider=SQLite; Data Source=sorvel.mdb\r\n")
esegui(0 params --nome PESARO)
file(WRITE ${dir}/f.txt "G479||1|1|1|A02|0|60|1||||||||||||||\r\nG479||2|1|1|C06|0|41|1||||||||||||||\r\nG479||1|1|5|7|ROSSI|ANNA|2|||||||||\r\nG479||2|1|5|7|ROSSI|ANNA|2|||||||||\r\nG479||9|30112026|8|\r\n")
esegui(0 import f.txt)
# the summary says 8 units, the file holds 2: imported, with a warning
if(NOT err MATCHES "Attenzione: il riepilogo della fornitura dichiara 8 unità \\(TotUIU\\) ma il file ne contiene 2")
  message(FATAL_ERROR "import without the count warning: ${err}")
endif()
esegui(0 confronto 7 --ruolo 90)
if(NOT out STREQUAL "Totale: 101\nRuolo: 90\nDifferenza: 11\nDichiarabile: 81\nAccertabile: -9\n")
  message(FATAL_ERROR "confronto: ${out}")
endif()
esegui(0 confronto 8)
if(NOT out MATCHES "^Totale: \nRuolo: 0\n")
  message(FATAL_ERROR "confronto without units: ${out}")
endif()
file(WRITE ${dir}/h.txt "H501||9|30112026|8|\r\n")
esegui(1 import h.txt)
if(NOT err MATCHES "Il codice Comune non corrisponde. Import interrotto.")
  message(FATAL_ERROR "import of another municipality: ${err}")
endif()
esegui(1 import manca.txt)
esegui(1 confronto x)

# report: the owner list and the dossier summary as PDF files, read back with pdftotext
find_program(PDFTOTEXT pdftotext REQUIRED)
function(testo_pdf file)
  execute_process(COMMAND ${PDFTOTEXT} -layout ${dir}/${file} - OUTPUT_VARIABLE t RESULT_VARIABLE rc)
  if(NOT rc EQUAL 0)
    message(FATAL_ERROR "pdftotext ${file}: ${rc}")
  endif()
  set(testo "${t}" PARENT_SCOPE)
endfunction()
esegui(0 report owners --pdf elenco.pdf)
testo_pdf(elenco.pdf)
if(NOT testo MATCHES "Elenco soggetti" OR NOT testo MATCHES "ROSSI ANNA" OR NOT testo MATCHES "Pag. 1")
  message(FATAL_ERROR "report owners: ${testo}")
endif()
esegui(0 report dossier 7 --ruolo 90 --pdf dossier.pdf)
testo_pdf(dossier.pdf)
if(NOT testo MATCHES "ROSSI ANNA" OR NOT testo MATCHES "Superficie catastale \\(calcolata\\): +101"
   OR NOT testo MATCHES "Maggiore superficie accertabile: +-9")
  message(FATAL_ERROR "report dossier --ruolo: ${testo}")
endif()
esegui(0 report dossier 7 --pdf dossier.pdf)
testo_pdf(dossier.pdf)
if(testo MATCHES "accertabile" OR NOT testo MATCHES "101")
  message(FATAL_ERROR "report dossier: ${testo}")
endif()
esegui(0 report dossier 8 --pdf vuoto.pdf)    # an owner with no units: a report, not an error
esegui(1 report owners)
esegui(1 report dossier --pdf x.pdf)
esegui(1 report dossier 7 --ruolo x --pdf x.pdf)
esegui(1 report elenco --pdf x.pdf)
esegui(1 report owners --pdf ${dir}/manca/elenco.pdf)
if(NOT err MATCHES "manca/elenco.pdf")
  message(FATAL_ERROR "report to a missing folder: ${err}")
endif()

# arguments: an option is never taken for a value, a word too many is named,
# owner numbers and surfaces beyond four bytes are refused alike; nothing is stored
foreach(caso
    "params|--nome|--codice -> Manca il valore dell'opzione --nome"
    "params|--nome|-- -> Manca il valore dell'opzione --nome"
    "params|PESARO -> Argomento inatteso: PESARO"
    "params|--nome -> Manca il valore dell'opzione --nome"
    "params|--nomi|X -> Opzione sconosciuta: --nomi"
    "init-db|--force=1 -> L'opzione --force non vuole un valore"
    "confronto|7|8 -> Argomento inatteso: 8"
    "confronto|4294967303 -> Numero del soggetto non valido: '4294967303'"
    "confronto|7|--ruolo|4294967296 -> Superficie a ruolo non valida: '4294967296'"
    "confronto|7|--ruolo -> Manca il valore dell'opzione --ruolo"
    "report|dossier|7|--pdf|--ruolo|5 -> Manca il valore dell'opzione --pdf"
    "report|dossier|4294967303|--pdf|x.pdf -> Numero del soggetto non valido: '4294967303'"
    "report|owners|elenco|--pdf|x.pdf -> Argomento inatteso: elenco")
  string(FIND "${caso}" " -> " freccia)
  string(SUBSTRING "${caso}" 0 ${freccia} argomenti)
  math(EXPR inizio "${freccia} + 4")
  string(SUBSTRING "${caso}" ${inizio} -1 atteso)
  string(REPLACE "|" ";" argomenti "${argomenti}")
  esegui(1 ${argomenti})
  string(FIND "${err}" "${atteso}" trovato)
  if(trovato EQUAL -1)
    message(FATAL_ERROR "sorvel-cli ${argomenti}: ${err}")
  endif()
endforeach()
esegui(0 params)
if(NOT out MATCHES "Nome: PESARO\n")
  message(FATAL_ERROR "a refused command changed the parameters: ${out}")
endif()
