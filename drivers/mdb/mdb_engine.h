// Our database engine for Access 2000 (Jet 4) files, in the shape of the
// engine API the Access export uses: the default workspace creates a
// database, the database executes statements and is closed.
//
//   mdb::Workspace workspace;
//   auto db = workspace.CreateDatabase(path, mdb::kGeneralLocale, 0);
//   db->Execute("CREATE TABLE KVTdatatool ('A' TEXT,'B' LONG)", kDbFailOnError);
//   db->Execute("INSERT INTO KVTdatatool ('A','B') VALUES ('x',1)", kDbFailOnError);
//   db->Close();
//
// A database holds one user table, created by CREATE TABLE and filled by
// INSERT INTO (the statements of drivers/sql). DATE columns are Date/Time
// columns. TEXT columns hold up to 255
// characters; MEMO columns hold longer texts (up to kMaxMemoLength), short
// ones in the row and the others on long-value pages. Every statement that
// succeeds is kept: Close() writes a complete file holding all of them, also
// after a failed statement. The file is written beside the destination under a
// temporary name and renamed over it by Close(), and only when the table
// exists; otherwise the destination is left as it was and the temporary
// file is removed. Data pages go to disk as they fill, so memory stays flat
// whatever the number of rows.
//
// Errors are Status values whose caption is an SQLSTATE.
#ifndef RECORDHAUL_DRIVERS_MDB_MDB_ENGINE_H_
#define RECORDHAUL_DRIVERS_MDB_MDB_ENGINE_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "base/env.h"
#include "base/status.h"

namespace rh::mdb {

// Execute option: fail the statement on any error (the only way we run).
inline constexpr int kDbFailOnError = 128;
// CreateDatabase option: Jet 4 format; 0 means the default, which is Jet 4.
inline constexpr int kDbVersion40 = 64;
// English, code page 1252, "General" sort order.
inline constexpr const char* kGeneralLocale = ";LANGID=0x0409;CP=1252;COUNTRY=0";

struct EngineOptions {
  Env* env = nullptr;  // nullptr: Env::Default()
  // Creation time as a Jet date (days since 1899-12-30, local time); a
  // negative value takes the clock.
  double creation_date = -1;
};

class Database {
 public:
  class Impl;
  explicit Database(std::unique_ptr<Impl> impl);
  // Without Close() the temporary file is removed and nothing is written.
  ~Database();
  Database(const Database&) = delete;
  Database& operator=(const Database&) = delete;

  // Runs one CREATE TABLE or INSERT INTO statement. `options` may be 0 or
  // kDbFailOnError; either way a failing statement changes nothing.
  Status Execute(std::string_view sql, int options = kDbFailOnError);

  // Works out the rows of INSERT statements on another thread, for
  // AddEncodedRow to add in order: Encode(sql) followed by AddEncodedRow
  // does what Execute(sql) does. Made once the database's table exists;
  // the encoder reads only that table's definition, so that encoders run
  // beside the thread adding rows. Null when there is no table yet, or its
  // rows hold memos, whose pages are claimed as the row is added.
  class RowEncoder {
   public:
    explicit RowEncoder(const Impl& db);
    ~RowEncoder();
    // The row `sql` adds, into *row; false where Execute must tell what
    // comes of it (a statement other than a valid INSERT of a storable
    // row), leaving *row unspecified.
    bool Encode(std::string_view sql, std::string* row);

    struct Scratch;  // the parser and cells a row is worked out with

   private:
    const Impl& db_;
    std::unique_ptr<Scratch> scratch_;
  };
  std::unique_ptr<RowEncoder> NewRowEncoder() const;
  // Adds a row an encoder made, failing where Execute of its statement
  // would fail at this point (a closed database, a failed write, a full
  // file).
  Status AddEncodedRow(std::string_view row);

  // Finishes the file and moves it into place. A second call does nothing.
  Status Close();

  uint64_t row_count() const;

 private:
  std::unique_ptr<Impl> impl_;
};

class Workspace {
 public:
  explicit Workspace(EngineOptions options = {});

  // Starts a new database at `path`. `locale` is ";LANGID=0x....;CP=....;
  // COUNTRY=..." (parts optional, code page 1252 only); `options` 0 or
  // kDbVersion40. Fails when the temporary file cannot be created beside
  // `path`.
  Result<std::unique_ptr<Database>> CreateDatabase(const std::string& path,
                                                   std::string_view locale,
                                                   int options = 0);

 private:
  EngineOptions options_;
};

}  // namespace rh::mdb

#endif  // RECORDHAUL_DRIVERS_MDB_MDB_ENGINE_H_
