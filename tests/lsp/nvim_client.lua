-- A headless Neovim as a real language client of vork-lsp, started for .y
-- and .l buffers as a user's init.lua would.  It edits as a user does
-- (lines inserted and deleted, undo, non-ASCII text, a reload, closing and
-- opening again, a Windows-1250 file) and checks after each step what the
-- editor shows: diagnostics, jumps, hovers, references, the outline.  Then
-- it stops the server and checks that the process is gone.
--
-- Every wait is for a condition, with a long guard against a hang: nothing
-- here depends on how fast the machine is.  Each step prints one line of
-- what Neovim saw.
local server = os.getenv('VORK_LSP')
local failures = 0
local function say(s) io.stdout:write(s .. '\n') end
local function fail(what)
  io.stdout:write('FAIL: ' .. what .. '\n')
  failures = failures + 1
end
local function check(ok, what) if not ok then fail(what) end end

if not (vim.lsp and vim.lsp.start_client and vim.diagnostic) then
  say('SKIP: this Neovim has no usable language client')
  vim.cmd('cquit 77')
end

local dir = vim.fn.tempname()
vim.fn.mkdir(dir, 'p')
local server_tmp = dir .. '/tmp'  -- where the server makes its work directory
vim.fn.mkdir(server_tmp, 'p')
local GUARD = 30000

-- The configuration: one vork-lsp for every grammar and scanner buffer.
local published = {}  -- uri -> list of { version, count }
local client_id
local function attach(buf)
  if not client_id then
    client_id = vim.lsp.start_client({
      name = 'vork-lsp', cmd = { server, '--lang', 'en' }, root_dir = dir, cmd_env = { TMPDIR = server_tmp },
      handlers = { ['textDocument/publishDiagnostics'] = function(err, result, ctx, config)
        local list = published[result.uri] or {}
        published[result.uri] = list
        table.insert(list, { version = result.version, count = #result.diagnostics })
        return vim.lsp.handlers['textDocument/publishDiagnostics'](err, result, ctx, config)
      end },
    })
  end
  vim.lsp.buf_attach_client(buf, client_id)
end
vim.cmd('filetype on')
vim.api.nvim_create_autocmd('FileType', { pattern = { 'yacc', 'lex' }, callback = function(a) attach(a.buf) end })

local seen = {}  -- uri -> publications already looked at
-- Waits for diagnostics of the buffer's text as it is now.
local function settled(buf)
  local uri = vim.uri_from_bufnr(buf)
  local ok = vim.wait(GUARD, function()
    local v = vim.lsp.util.buf_versions[buf]
    local list = published[uri] or {}
    for i = (seen[uri] or 0) + 1, #list do
      if v ~= nil and list[i].version == v then
        seen[uri] = i
        return true
      end
    end
    return false
  end, 10)
  check(ok, 'no diagnostics for the text of ' .. uri)
  return vim.diagnostic.get(buf)
end
local function ask(buf, method, line, character)
  local params = { textDocument = { uri = vim.uri_from_bufnr(buf) } }
  if line then params.position = { line = line, character = character } end
  params.context = { includeDeclaration = true }
  local answers = vim.lsp.buf_request_sync(buf, method, params, GUARD)
  local a = answers and answers[client_id]
  if not a then fail(method .. ': no answer') return nil end
  if a.err or a.error then fail(method .. ': ' .. vim.inspect(a.err or a.error)) return nil end
  return a.result
end
local function hover_text(buf, line, character)
  local h = ask(buf, 'textDocument/hover', line, character)
  return h and h.contents and (h.contents.value or h.contents) or ''
end
-- The text a range covers in the buffer, the range counted in UTF-16 units.
local function text_of(buf, range)
  local l = vim.api.nvim_buf_get_lines(buf, range.start.line, range.start.line + 1, false)[1] or ''
  return l:sub(vim.str_byteindex(l, range.start.character, true) + 1, vim.str_byteindex(l, range['end'].character, true))
end
local function utf16(buf, line, word)
  local l = vim.api.nvim_buf_get_lines(buf, line, line + 1, false)[1]
  return vim.str_utfindex(l, l:find(word, 1, true) - 1)
end
local function describe(diags)
  local t = {}
  for _, d in ipairs(diags) do table.insert(t, d.lnum .. ':' .. (d.message:gsub('\n.*', ''))) end
  table.sort(t)
  return '[' .. table.concat(t, '; ') .. ']'
end
-- Each scripted edit its own step of undo, as each of a user's would be.
local function edit(buf, from, to, lines)
  vim.cmd('let &undolevels = &undolevels')
  vim.api.nvim_buf_set_lines(buf, from, to, false, lines)
end
local function find(diags, part)
  for _, d in ipairs(diags) do if d.message:find(part, 1, true) then return d end end
end

-- 1. A grammar with a conflict.
local gfile = dir .. '/calc.y'
vim.fn.writefile({ '%token NUM', '%%', "expr : expr '-' expr", '     | NUM', '     ;' }, gfile)
vim.cmd('edit ' .. vim.fn.fnameescape(gfile))
local g = vim.api.nvim_get_current_buf()
check(client_id ~= nil, 'the server was not started for a .y buffer')
local d = settled(g)
local conflict = find(d, 'shift/reduce')
check(conflict and conflict.lnum == 2 and conflict.severity == vim.diagnostic.severity.WARN,
  'conflict warning on line 2: ' .. describe(d))
say('opened calc.y: ' .. describe(d))
-- its example follows
vim.wait(GUARD, function() return find(vim.diagnostic.get(g), 'example:') ~= nil end, 10)
check(find(vim.diagnostic.get(g), 'example:'), 'the conflict example never came')
check(hover_text(g, 2, 1):find('example:', 1, true), 'hover on the conflict line has no example')

-- 2. The editor's own jump: NUM on line 3 goes to its %token on line 0.
vim.api.nvim_win_set_cursor(0, { 4, 8 })
vim.lsp.buf.definition()
vim.wait(GUARD, function() return vim.api.nvim_win_get_cursor(0)[1] == 1 end, 10)
local cur = vim.api.nvim_win_get_cursor(0)
check(cur[1] == 1 and cur[2] == 7, 'definition() of NUM put the cursor at ' .. vim.inspect(cur))
say('definition() of NUM: cursor at line ' .. cur[1] .. ', column ' .. cur[2])

-- 3. Two lines inserted above: right away the hover has nothing of the old
-- lines; then the conflict moves down with its rule.
edit(g, 0, 0, { '/* one */', '/* two */' })
check(not hover_text(g, 2, 0):find('conflict', 1, true), 'hover shows the old conflict on the old line')
d = settled(g)
conflict = find(d, 'shift/reduce')
check(conflict and conflict.lnum == 4, 'after inserting two lines the conflict is not on line 4: ' .. describe(d))
say('two lines inserted: ' .. describe(d))
-- deleted again, then undone twice
edit(g, 0, 2, {})
d = settled(g)
check(find(d, 'shift/reduce') and find(d, 'shift/reduce').lnum == 2, 'after deleting them: ' .. describe(d))
vim.cmd('silent undo')
d = settled(g)
check(find(d, 'shift/reduce') and find(d, 'shift/reduce').lnum == 4, 'after undo: ' .. describe(d))
say('deleted, then undone: ' .. describe(d))
vim.cmd('silent undo')
d = settled(g)
check(find(d, 'shift/reduce') and find(d, 'shift/reduce').lnum == 2, 'after the second undo: ' .. describe(d))

-- 4. Non-ASCII text before a name: the columns are UTF-16 units, not bytes.
vim.api.nvim_buf_set_lines(g, 3, 4, false, { '     /* Žluťoučký kůň 𝄞 */ | NUM' })
local col = utf16(g, 3, 'NUM')
local def = ask(g, 'textDocument/definition', 3, col + 1)
check(def and def.range and def.range.start.line == 0 and def.range.start.character == 7,
  'definition of NUM after wide text: ' .. vim.inspect(def))
local refs = ask(g, 'textDocument/references', 0, 8) or {}
local texts = {}
for _, r in ipairs(refs) do
  table.insert(texts, r.range.start.line .. ':' .. r.range.start.character .. '=' .. text_of(g, r.range))
  check(text_of(g, r.range) == 'NUM', 'a reference of NUM covers "' .. text_of(g, r.range) .. '"')
end
check(#refs == 2, 'NUM has ' .. #refs .. ' references')
say('references of NUM with wide text before one: ' .. table.concat(texts, ' '))
-- and a name with non-ASCII letters is an error, and no symbol
vim.api.nvim_buf_set_lines(g, 4, 4, false, { '     | čísla' })
d = settled(g)
check(find(d, 'illegal rule') or #d > 0, 'no error for a name with non-ASCII letters: ' .. describe(d))
local names = {}
for _, s in ipairs(ask(g, 'textDocument/documentSymbol') or {}) do table.insert(names, s.name) end
check(table.concat(names, ' ') == 'NUM expr', 'outline: ' .. table.concat(names, ' '))
local offered = {}
for _, item in ipairs(ask(g, 'textDocument/completion', 4, 12) or {}) do table.insert(offered, item.label) end
table.sort(offered)
check(table.concat(offered, ' ') == 'NUM expr', 'completion offers: ' .. table.concat(offered, ' '))
say('typed "| čísla": ' .. describe(d) .. ', outline: ' .. table.concat(names, ' ') ..
  ', completion: ' .. table.concat(offered, ' '))
vim.api.nvim_buf_set_lines(g, 4, 5, false, {})
vim.cmd('silent write')
settled(g)

-- 5. ":edit!" throws away a change made with ":s" and reloads the file;
-- the change after it is analysed.
vim.cmd('silent %s/expr/exp/g')
settled(g)
vim.cmd('edit!')
vim.api.nvim_buf_set_lines(g, 4, 4, false, { '     | nowhere' })
d = settled(g)
local undefined = find(d, 'nowhere')
check(undefined and undefined.lnum == 4 and undefined.severity == vim.diagnostic.severity.ERROR,
  'after :edit! the new undefined name is not reported: ' .. describe(d))
say('reloaded and typed "| nowhere": ' .. describe(d))

-- 6. Closed and opened again.
vim.cmd('bwipeout! ' .. g)
vim.cmd('edit ' .. vim.fn.fnameescape(gfile))
g = vim.api.nvim_get_current_buf()
seen[vim.uri_from_bufnr(g)] = #(published[vim.uri_from_bufnr(g)] or {})
d = settled(g)
check(find(d, 'shift/reduce'), 'reopened file has no conflict: ' .. describe(d))
say('closed and opened again: ' .. describe(d))

-- 7. A scanner specification in Windows-1250 with CR LF line ends.
local lfile = dir .. '/scan.l'
local f = io.open(lfile, 'wb')
f:write('D\205G [0-9]\r\nN {D\205G}+\r\n%Start STR\r\n%%\r\n' ..
        '{N} { return 1; } /* \232\237slo */\r\n\\" { BEGIN STR; }\r\n<STR>[^"]+ ;\r\n')
f:close()
vim.o.fileencodings = 'ucs-bom,utf-8,cp1250'
vim.cmd('edit ' .. vim.fn.fnameescape(lfile))
local l = vim.api.nvim_get_current_buf()
say('opened scan.l: fileencoding=' .. vim.bo.fileencoding .. ' fileformat=' .. vim.bo.fileformat)
d = settled(l)
check(#d == 0, 'scan.l has diagnostics: ' .. describe(d))
local outline = {}
for _, s in ipairs(ask(l, 'textDocument/documentSymbol') or {}) do
  table.insert(outline, s.name)
  check(text_of(l, s.range) == s.name, 'outline range of ' .. s.name .. ' covers "' .. text_of(l, s.range) .. '"')
end
check(table.concat(outline, ' ') == 'DÍG N STR', 'scanner outline: ' .. table.concat(outline, ' '))
say('scan.l outline: ' .. table.concat(outline, ' '))
def = ask(l, 'textDocument/definition', 1, 4)
check(def and def.range and def.range.start.line == 0 and text_of(l, def.range) == 'DÍG',
  'definition of {DÍG}: ' .. vim.inspect(def))
check(hover_text(l, 4, 1):find('{DÍG}+', 1, true), 'hover of {N}: ' .. hover_text(l, 4, 1))

-- 8. The server stops when asked, and its process is gone.
local pid = vim.lsp.get_client_by_id(client_id).rpc.pid
vim.lsp.stop_client(client_id)
local gone = vim.wait(GUARD, function() return vim.lsp.get_client_by_id(client_id) == nil end, 10)
check(gone, 'the client did not stop')
-- the client goes once the process has ended and been reaped
local exited = vim.wait(GUARD, function() return vim.loop.kill(pid, 0) ~= 0 end, 10)
check(exited, 'vork-lsp (pid ' .. pid .. ') is still running after the stop')
local left = vim.fn.readdir(server_tmp)
check(#left == 0, 'the server left ' .. table.concat(left, ' ') .. ' behind')
say('stopped: server process ' .. (exited and 'exited' or 'still running') .. ', ' .. #left .. ' files left')

vim.fn.delete(dir, 'rf')
if failures > 0 then
  say(failures .. ' check(s) failed')
  vim.cmd('cquit 1')
end
say('nvim client: all checks passed')
vim.cmd('qall!')
