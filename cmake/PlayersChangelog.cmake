# The players' CHANGELOG.txt of the package, made from CHANGELOG.md: its entries only (the note for
# developers above the first "## VERSION" heading stays out), as plain text: each heading underlined, code
# marks taken away.
function(lumaro_players_changelog source output)
  file(READ ${source} text)
  string(FIND "${text}" "\n## " first)
  string(SUBSTRING "${text}" ${first} -1 entries)
  string(REGEX REPLACE "\n## ([^\n]*)" "\n\\1\n------" entries "${entries}")
  string(REPLACE "`" "" entries "${entries}")
  file(WRITE ${output} "Lumaro: what changed in each version\n====================================\n${entries}")
endfunction()
