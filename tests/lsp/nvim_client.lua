-- A headless Neovim as a language client: starts vork-lsp on a grammar
-- with a conflict, checks the conflict's warning and its example, a jump to
-- a rule and a hover, then types an undefined name and checks its error.
local server = os.getenv('VORK_LSP')
local source = os.getenv('VORK_GRAMMAR')
local failed = false

local function fail(what)
  io.stderr:write('FAIL: ' .. what .. '\n')
  failed = true
end

-- A private copy: the buffer is edited.
local dir = vim.fn.tempname()
vim.fn.mkdir(dir, 'p')
local file = dir .. '/conflict.y'
vim.fn.writefile(vim.fn.readfile(source), file)
vim.cmd('edit ' .. vim.fn.fnameescape(file))
local buf = vim.api.nvim_get_current_buf()

local id = vim.lsp.start_client({ name = 'vork-lsp', cmd = { server, '--lang', 'en' }, root_dir = dir })
if not id then
  fail('the server did not start')
  vim.cmd('cquit 1')
end
vim.lsp.buf_attach_client(buf, id)

local function find(pred)
  for _, d in ipairs(vim.diagnostic.get(buf)) do
    if pred(d) then return d end
  end
  return nil
end

-- The conflict: a warning on the rule's line, first without, then with its example.
local conflict
vim.wait(20000, function()
  conflict = find(function(d) return d.message:find('shift/reduce', 1, true) and d.message:find('example:', 1, true) end)
  return conflict ~= nil
end, 50)
if not conflict then
  fail('no conflict warning with an example; diagnostics: ' .. vim.inspect(vim.diagnostic.get(buf)))
else
  if conflict.lnum ~= 2 then fail('conflict on line ' .. conflict.lnum .. ', expected 2') end
  if conflict.severity ~= vim.diagnostic.severity.WARN then fail('the conflict is not a warning') end
end

local uri = vim.uri_from_bufnr(buf)
local function ask(method, line, character)
  local answers = vim.lsp.buf_request_sync(buf, method,
    { textDocument = { uri = uri }, position = { line = line, character = character } }, 10000)
  if not answers or not answers[id] then return nil end
  return answers[id].result
end

-- Go to definition: "expr" used on line 2 (0-based), column 7, is defined at line 2, column 0.
local def = ask('textDocument/definition', 2, 8)
if not def or not def.range or def.range.start.line ~= 2 or def.range.start.character ~= 0 then
  fail('definition of expr: ' .. vim.inspect(def))
end
-- Definition of the token NUM (line 3) is its %token line (line 0).
def = ask('textDocument/definition', 3, 8)
if not def or not def.range or def.range.start.line ~= 0 or def.range.start.character ~= 7 then
  fail('definition of NUM: ' .. vim.inspect(def))
end

-- Hover on the conflict's line: the rules and the example.
local hover = ask('textDocument/hover', 2, 1)
local text = hover and hover.contents and (hover.contents.value or hover.contents) or ''
if type(text) ~= 'string' or not text:find("expr : expr '-' expr", 1, true) or not text:find('example:', 1, true) then
  fail('hover: ' .. vim.inspect(hover))
end

-- Type an undefined name into the rules: its error comes at its line.
vim.api.nvim_buf_set_lines(buf, 4, 4, false, { '     | nowhere' })
local undefined
vim.wait(20000, function()
  undefined = find(function(d) return d.message:find('nowhere', 1, true) end)
  return undefined ~= nil
end, 50)
if not undefined then
  fail('no error for the undefined name; diagnostics: ' .. vim.inspect(vim.diagnostic.get(buf)))
else
  if undefined.severity ~= vim.diagnostic.severity.ERROR then fail('the undefined name is not an error') end
  if undefined.lnum ~= 4 then fail('undefined name reported on line ' .. undefined.lnum .. ', expected 4') end
end

vim.lsp.stop_client(id)
vim.fn.delete(dir, 'rf')
if failed then
  vim.cmd('cquit 1')
end
io.stdout:write('nvim client: all checks passed\n')
vim.cmd('qall!')
