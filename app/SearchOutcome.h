#pragma once
// Why a search session ended, kept for front ends to show (the session itself reports nothing).

#include <string>

namespace zb {

enum class SearchEnd {
    None,         // no session has run yet
    NoWords,      // the And words were empty: nothing was fetched
    NoNextPage,   // the last page showed no next-page marker: the normal end
    FetchError,   // the fetch raised (lookup, connection, time-out, transfer, page file)
    ErrorStatus,  // the final response status was not a success
    ScanError,    // reading or scanning the page file raised
    Stopped,      // the front end stopped the session
    BadProfile,   // an expression of the search profile does not compile: nothing was fetched
};

struct SearchOutcome {
    SearchEnd End = SearchEnd::None;
    std::string Message;        // UTF-8: the exception's message for FetchError and ScanError
    int Status = 0;             // the response status for ErrorStatus
    int Pages = 0;              // pages requested
    int Addresses = 0;          // addresses appended
    int LastPageAddresses = 0;  // addresses the last page fetched held

    // Whether the session ended the way it is meant to (not on an error).
    bool Normal() const { return End == SearchEnd::NoNextPage; }
};

// One line for the user, e.g. "no further page" or "fetch error: Connection refused".
std::string DescribeOutcome(const SearchOutcome& outcome);

}  // namespace zb
