#include "editor/FileDialogRequest.h"

namespace vorlatek::editor {

std::string FileType::pattern() const { return "*." + std::string(extension); }

std::string FileType::filterName() const { return std::string(description) + " (" + pattern() + ")"; }

std::string completePath(std::string_view path, const FileType& type) {
    std::string result(path);
    if (result.empty()) return result;
    const std::string_view tail(result);
    const std::size_t n = type.extension.size();
    if (!(tail.size() > n && tail[tail.size() - n - 1] == '.' && tail.ends_with(type.extension))) {
        result += '.';
        result += type.extension;
    }
    return result;
}

}  // namespace vorlatek::editor
