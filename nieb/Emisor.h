#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace nieb {

// Writes the translated SQL as the rows of NIEB_QUERY. The client rebuilds the text from the rows with
// a fixed rule: the first row as it is; then a row that is one of the twelve characters , . = ; - + ( )
// / * > < is a "token", and a token, or any row after a token that has not been answered yet, is
// appended directly (and flips that state); every other row gets one blank in front. The emitter
// applies the same rule to keep the text the client will see, and puts a blank in front of a row where
// appending it directly would change the statement's meaning (two minus signs making a comment, two
// words running together).
class Emisor {
public:
    // Adds one row, as it must appear in the rebuilt text.
    void fila(std::string texto);
    // Adds a fragment of SQL, one row per lexeme (blanks dropped, comments kept as /* */).
    void fragmento(std::string_view sql);

    const std::vector<std::string>& filas() const { return filas_; }
    // The statement the client will rebuild from the rows.
    const std::string& sql() const { return sql_; }

private:
    std::vector<std::string> filas_;
    std::string sql_;
    bool pegar_ = false;
};

// The client's rebuilding rule, applied to finished rows.
std::string reconstruir(const std::vector<std::string>& filas);

bool esFilaToken(std::string_view fila);

} // namespace nieb
