// The class library's base exception and number formatting.
#pragma once

#include <cstdint>
#include <exception>
#include <string>

// The exception class that the application object shows by its message.
class Exception : public std::exception {
public:
    explicit Exception(std::string message) : Message(std::move(message)) {}
    const char* what() const noexcept override { return Message.c_str(); }

    std::string Message;
};

// Decimal text of the number, with a leading '-' when negative.
std::string IntToStr(int64_t value);
