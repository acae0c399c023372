#pragma once

#include <string_view>

// Every text that the program's logic shows the user: its messages, its questions,
// the progress dialog's status lines and the browsers' titles. Each stands here once;
// the converters, the application and the backends all show it from here. The
// dialogs' own labels and buttons stand in res/pelmo.rc.
namespace pelmo::ui::message {

// The start-up check.
inline constexpr std::string_view kRequiresWindows95 = "This program requires Windows 95.";

// Failures that end a conversion.
inline constexpr std::string_view kFavouritesFolderNotOpened = "Unable to open Favourites folder!";
inline constexpr std::string_view kBookmarkFileNotOpened = "Unable to open Bookmark file!";
inline constexpr std::string_view kBookmarkFileNotRead = "Unable to read Bookmark file!";
inline constexpr std::string_view kBookmarkFileNotWritten = "Unable to write Bookmark file!";
// The detail line when the bookmark file to write is a browser's own store.
inline constexpr std::string_view kBrowserStoreNotWritten =
    "this is a browser's own store, which PELMO reads but never writes";
inline constexpr std::string_view kSomeFavouritesNotRead = "Unable to read some Favourites!";
inline constexpr std::string_view kSomeShortcutsNotWritten = "Unable to write some shortcut files!";
inline constexpr std::string_view kDirectoryNotCreated = "Error creating directory!";

// Questions.
inline constexpr std::string_view kCreateFavouritesFolder =
    "The specified Favourites folder does not exist.\nWould you like to create it?";
inline constexpr std::string_view kBookmarkFileExists = "Selected bookmark file already exists!";

// The progress dialog's status line.
inline constexpr std::string_view kSettingUp = "Setting up... Please wait...";
inline constexpr std::string_view kWritingConvertedFile = "Writing converted file...";

// The main dialog's browsers.
inline constexpr std::string_view kSelectBookmarkFile = "Select Bookmarks file";
inline constexpr std::string_view kSelectFavouritesFolder = "Select Favourites folder.";

// The main dialog, where no backend can show it.
inline constexpr std::string_view kNoDialog =
    "The main dialog cannot be shown here. To convert from the command line, add /auto, "
    "for example: pelmo /auto /btf /book bookmarks.html /fav Favorites (pelmo --help lists "
    "the switches).";
// Without a console, there is no usage text to point to.
inline constexpr std::string_view kNoDialogWithoutConsole =
    "The main dialog cannot be shown here. To convert without it, add /auto, for example: "
    "pelmo /auto /btf /book bookmark.htm /fav Favorites";

}  // namespace pelmo::ui::message
