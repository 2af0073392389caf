// The plug-in's menu commands: the "&Bookmarks" submenu, the checks every editing command makes
// first, and the command handlers.
#pragma once

#include <cstdint>
#include <string>

#include "sdk/document_tables.h"

namespace sorvane {

inline constexpr const char *kOldHostMessage = "Can't execute in the Acrobat version prior 5.0.";
inline constexpr const char *kNoDocumentMessage =
    "No active document available. Please open a document and try again.";
inline constexpr const char *kNoPermissionMessage =
    "Security settings do not permit document editing.";
inline constexpr const char *kNoPrintPermissionMessage =
    "Security settings do not permit printing this document.";
inline constexpr const char *kConfirmPrint =
    "Do you really want to print all bookmarked pages in the active document?";
inline constexpr const char *kConfirmDeleteAll =
    "Do you really want to delete all bookmarks from the active document?";

// True when a command may run on the active document; otherwise the reason was shown. An
// editing command needs the permission to change the document, printing the one to print.
bool checkCommandPreconditions(uint32_t permission = kPermissionModify);

// Enable procedures of the menu items.
bool hasActiveDocument(void *clientData);
bool hasBookmarks(void *clientData);

inline constexpr const char *kHelpFailedMessage = "Failed to launch help.";

// What the window shows beside the pages: nothing, or the bookmarks pane.
inline constexpr int32_t kPageModeNone = 1;
inline constexpr int32_t kPageModeBookmarks = 3;

// "Total number of bookmarks created: ..." with the elapsed minutes (hours counted in) and
// seconds.
std::string generationSummary(int32_t created, int64_t seconds);

// Command handlers.
void generateCommand(void *clientData);
void validateCommand(void *clientData);
void sortCommand(void *clientData);
void helpCommand(void *clientData);
void aboutCommand(void *clientData);
void deleteAllCommand(void *clientData);
void printBookmarkedPagesCommand(void *clientData);

// Builds the menus in the host's menu bar. Menus the host does not have are skipped.
void buildMenus();

// The defaults file and help file paths for the plug-in file at `modulePath`: its extension
// replaced (whatever its letter case) by ".cfs" and ".html"; the rest of the path is kept, since
// on this platform a path in other letters names another file.
std::string derivedPath(const std::string &modulePath, const std::string &extension);

} // namespace sorvane
