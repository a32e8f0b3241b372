/* What the library of drive folders needs from SQLite, printed so that the
 * Linux build's SQLite and the one linked into the Windows programs can be
 * compared line by line (scripts/windows.sh): the version, the compile
 * options, a database in WAL mode with a busy timeout whose folder is named in
 * Cyrillic, a row written and read back with its UTF-8 text intact, a reader
 * beside a writer, and a second writer that is refused once its wait ends.
 * Usage: sqlite-check FOLDER (the database goes into FOLDER/Диск, which must
 * exist: SQLite, not this program, has to get its name right) */
#include <sqlite3.h>

#include <stdio.h>
#include <stdlib.h>

static const char folderName[] = "\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA";
static const char folderText[] = "C:\\Drives\\\xD0\x94\xD0\xB8\xD1\x81\xD0\xBA";

static void fail(sqlite3 *db, const char *what)
{
    printf("FAILED %s: %s\n", what, db ? sqlite3_errmsg(db) : "no connection");
    exit(1);
}

static sqlite3 *openStore(const char *path)
{
    sqlite3 *db = NULL;
    if (sqlite3_open_v2(path, &db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, NULL) != SQLITE_OK)
        fail(db, "open");
    sqlite3_busy_timeout(db, 200);
    return db;
}

static void run(sqlite3 *db, const char *sql)
{
    if (sqlite3_exec(db, sql, NULL, NULL, NULL) != SQLITE_OK)
        fail(db, sql);
}

/* Prints each row's first column after LABEL; returns the last step's code. */
static int print(sqlite3 *db, const char *label, const char *sql)
{
    sqlite3_stmt *statement = NULL;
    int code;
    if (sqlite3_prepare_v2(db, sql, -1, &statement, NULL) != SQLITE_OK)
        fail(db, sql);
    while ((code = sqlite3_step(statement)) == SQLITE_ROW)
        printf("%s %s\n", label, (const char *)sqlite3_column_text(statement, 0));
    sqlite3_finalize(statement);
    return code;
}

int main(int argc, char **argv)
{
    char path[4096];
    sqlite3 *writer, *reader;
    sqlite3_stmt *insert = NULL;
    if (argc != 2)
        return 2;
    snprintf(path, sizeof path, "%s/%s/library.sqlite", argv[1], folderName);

    printf("version %s\nthreadsafe %d\n", sqlite3_libversion(), sqlite3_threadsafe());
    writer = openStore(path);
    print(writer, "option", "PRAGMA compile_options");
    print(writer, "journal_mode", "PRAGMA journal_mode=WAL");
    run(writer, "CREATE TABLE drive(folder TEXT NOT NULL, family TEXT)");
    if (sqlite3_prepare_v2(writer, "INSERT INTO drive VALUES(?, ?)", -1, &insert, NULL) != SQLITE_OK)
        fail(writer, "prepare insert");
    sqlite3_bind_text(insert, 1, folderText, -1, SQLITE_STATIC);
    sqlite3_bind_text(insert, 2, "Ares 64", -1, SQLITE_STATIC);
    if (sqlite3_step(insert) != SQLITE_DONE)
        fail(writer, "insert");
    sqlite3_finalize(insert);

    run(writer, "BEGIN IMMEDIATE");
    run(writer, "INSERT INTO drive VALUES('pending', NULL)");
    reader = openStore(path);
    print(reader, "a reader beside the writer sees rows:", "SELECT count(*) FROM drive");
    printf("the row read back is %s\n",
           print(reader, "row", "SELECT folder || ' ' || family FROM drive") == SQLITE_DONE
               ? "whole"
               : "cut short");
    printf("a second writer %s\n",
           sqlite3_exec(reader, "BEGIN IMMEDIATE", NULL, NULL, NULL) == SQLITE_BUSY
               ? "is refused as busy"
               : "is NOT refused");
    run(writer, "COMMIT");
    print(reader, "after the commit, rows:", "SELECT count(*) FROM drive");
    sqlite3_close(reader);
    sqlite3_close(writer);
    return 0;
}
