#include "service/HttpResponse.h"

namespace zb {

const char* ReasonPhrase(int status) {
    switch (status) {
        case 200:
            return "OK";
        case 301:
            return "Moved Permanently";
        case 302:
            return "Found";
        case 400:
            return "Bad Request";
        case 403:
            return "Forbidden";
        case 404:
            return "Not Found";
        case 405:
            return "Method Not Allowed";
        case 408:
            return "Request Timeout";
        case 431:
            return "Request Header Fields Too Large";
        case 500:
            return "Internal Server Error";
        case 501:
            return "Not Implemented";
        case 502:
            return "Bad Gateway";
        case 503:
            return "Service Unavailable";
        case 505:
            return "HTTP Version Not Supported";
        default:
            return "Unknown";
    }
}

std::string HttpResponse::Head() const {
    std::string head = "HTTP/1.0 " + std::to_string(Status) + " " + ReasonPhrase(Status) +
                       "\r\nServer: zunbarra-service\r\nContent-Type: " + ContentType +
                       "\r\nContent-Length: " + std::to_string(Body.size()) + "\r\n";
    for (const auto& [name, value] : Headers)
        head += name + ": " + value + "\r\n";
    return head + "Connection: close\r\n\r\n";
}

}  // namespace zb
