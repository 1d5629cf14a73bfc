#pragma once

class CCliSession;

// One function per tqb command. Each returns the exit code: 0 done, 1 failed
// (after a one-line message on standard error).
int runNew(CCliSession &session);         // new OUT.tqb
int runInfo(CCliSession &session);        // info FILE
int runTree(CCliSession &session);        // tree FILE
int runToJson(CCliSession &session);      // to-json FILE
int runFromJson(CCliSession &session);    // from-json IN.json OUT.tqb
int runPasswd(CCliSession &session);      // passwd FILE
int runExportText(CCliSession &session);  // export-text FILE OUT.txt
int runBackup(CCliSession &session);      // backup FILE
int runReminders(CCliSession &session);   // reminders FILE [--at MOMENT] [--json]
int runAdd(CCliSession &session);         // add DOC [--under N] [--title TITLE]
int runGenpass(CCliSession &session);     // genpass [--length N] [--digits] [--letters] [--special] [--count K]
int runImportText(CCliSession &session);       // import-text DOC TXT [--under N]
int runImportCsv(CCliSession &session);        // import-csv DOC CSV [--header] [--under N]
int runImportFavorites(CCliSession &session);  // import-favorites DOC PATH [--under N]
// find FILE TEXT [--case] [--titles] [--context]; exits as grep: 0 matched, 1 no match, 2 failure
int runFind(CCliSession &session);
