// SPDX-License-Identifier: MIT
#pragma once

#include <QWidget>

#include <memory>
#include <typeindex>
#include <unordered_map>
#include <vector>

namespace platform {

// Owns the program's windows. Each window has one instance, created hidden
// the first time anything refers to it and kept (hidden or shown) until the
// registry destroys every window, newest first, while the application object
// still exists.
class FormRegistry {
public:
    static FormRegistry &instance();

    template <typename Form> Form &get()
    {
        if (QWidget *existing = find(typeid(Form)))
            return static_cast<Form &>(*existing);
        return static_cast<Form &>(adopt(typeid(Form), std::unique_ptr<QWidget>(new Form)));
    }

    template <typename Form> bool exists() const { return find(typeid(Form)) != nullptr; }

    // Destroys every window; later references create them anew.
    void destroyAll();

    // Destroys the windows when it goes out of scope: declare it right after
    // the application object.
    class Scope {
    public:
        Scope() = default;
        Scope(const Scope &) = delete;
        Scope &operator=(const Scope &) = delete;
        ~Scope() { FormRegistry::instance().destroyAll(); }
    };

private:
    QWidget *find(std::type_index type) const;
    QWidget &adopt(std::type_index type, std::unique_ptr<QWidget> form);

    std::unordered_map<std::type_index, QWidget *> m_byType;
    std::vector<std::unique_ptr<QWidget>> m_inCreationOrder;
};

} // namespace platform
