#include "app/SearchOutcome.h"

namespace zb {

std::string DescribeOutcome(const SearchOutcome& outcome) {
    switch (outcome.End) {
        case SearchEnd::None:
            return "no search has run";
        case SearchEnd::NoWords:
            return "no And words: nothing to search";
        case SearchEnd::NoNextPage:
            return "no further page";
        case SearchEnd::FetchError:
            return "fetch error: " + outcome.Message;
        case SearchEnd::ErrorStatus:
            return "error status " + std::to_string(outcome.Status);
        case SearchEnd::ScanError:
            return "scan error: " + outcome.Message;
        case SearchEnd::Stopped:
            return "stopped";
        case SearchEnd::BadProfile:
            return "bad search profile: " + outcome.Message;
    }
    return "unknown end";
}

}  // namespace zb
