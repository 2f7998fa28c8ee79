// The ground of most core tests: a delivered data folder, a scripted prompter, the maker's hosts
// pointed at a local test server, and a data module connected the way start-up connects it.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/DataMod.h"
#include "platform/http/Http.h"
#include "tests/support/HttpTestServer.h"
#include "tests/support/ScriptedPrompter.h"
#include "tests/support/TestDataFolder.h"

namespace zl::test {

// The key (first column) of each row the dataset holds, in its order.
std::vector<int> Keys(db::Query& rows);

class CoreFixture : public ::testing::Test {
  protected:
    CoreFixture();
    ~CoreFixture() override;

    // Local and metadata files, the settings row, then the main file at the delivered path.
    void ConnectAll();
    // The error log's contents so far.
    std::string ErrorLog() const;
    // The first line of the last message box, or "" when none was shown.
    std::string LastBoxFirstLine() const;
    // One value read on a connection of its own, as text ("<none>" without a row).
    std::string Stored(const std::string& path, const std::string& sql) const;
    // The rows of `sql` on the file at `path`, read on a connection of their own, every column
    // as text ("<null>" for a null).
    std::vector<std::vector<std::string>> StoredRows(const std::string& path,
                                                     const std::string& sql) const;
    // How often `text` occurs in the error log.
    int LogCount(const std::string& text) const;
    // One statement on the main file through the data module; fails the test if it fails.
    void Exec(const std::string& sql);
    // A bill_item row: `qty` of a component, a service or a sub-assembly in `assembly`.
    void AddBillItem(int id, int assembly, int component, int service, int subAssembly, double qty);
    // Reserves a path with NewDocPath in a repository below the home folder, then, as someone
    // might after the reservation, puts in place of its numbered folder a link to another folder
    // that holds an empty file of the reserved name. Returns the reserved path and that file's.
    struct SwappedReservation {
        std::string reserved;
        std::string linkTarget;
    };
    SwappedReservation ReserveThenSwapFolderForLink(const std::string& prefix,
                                                    const std::string& ext);

    TestDataFolder folder;
    ui::ScriptedPrompter prompter;
    HttpTestServer web;
    std::unique_ptr<TDataMod> dm;

  private:
    http::HostSettings savedHosts_;
};

}  // namespace zl::test
