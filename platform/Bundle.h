#pragma once
// Resource lookup: the resources folder beside the executable, or where the build put it.

#include <string>

namespace platform {

class Bundle {
public:
    static Bundle& mainBundle();
    // Full path of "<name>.<type>" in the resources, or empty when missing. Type may be empty.
    std::string pathForResource(const std::string& name, const std::string& type) const;
    // Full path of a layout file "layouts/<name>.json", or empty.
    std::string pathForLayout(const std::string& name) const;
    const std::string& resourcePath() const { return root_; }
    void setResourcePath(std::string root) { root_ = std::move(root); }
private:
    Bundle();
    std::string root_;
};

}  // namespace platform
