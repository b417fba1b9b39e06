// Errors raised by the program and the platform layer. Each carries the text
// the user sees; the toolkit shows it in the default error box.
#pragma once
#include <exception>
#include <string>

class EError : public std::exception {
public:
    explicit EError(std::string message) : message_(std::move(message)) {}
    // Most messages are fixed texts: the string is made once, in here.
    explicit EError(const char* message);
    const char* what() const noexcept override { return message_.c_str(); }
    const std::string& Message() const { return message_; }

private:
    std::string message_;
};

// Replaces the first "%s" of pattern with arg (the only kind of
// formatting the program's messages need).
std::string FormatMessage1(const char* pattern, const std::string& arg);
