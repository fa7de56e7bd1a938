-- Neovim's own LSP client against `plotwright lsp` ($PLOTWRIGHT) on story.vell: the mistake's
-- diagnostic appears on its line and column, its did-you-mean fix applies, and go-to-definition
-- from a jump lands on the block; and the coverage request, on coverage.vell, places the block no
-- story reached, the one nothing leads to and the choice none took.
-- Columns here are Neovim's bytes; the server speaks UTF-16, so each Japanese character before
-- a place is three bytes here and one unit there.
local here = vim.fn.fnamemodify(debug.getinfo(1, 'S').source:sub(2), ':p:h')

local function check()
  vim.cmd('edit ' .. vim.fn.fnameescape(here .. '/story.vell'))
  local buffer = vim.api.nvim_get_current_buf()
  local client = vim.lsp.start_client({
    name = 'plotwright',
    cmd = { vim.env.PLOTWRIGHT, 'lsp' },
    root_dir = here,
  })
  assert(client, 'the server did not start')
  vim.lsp.buf_attach_client(buffer, client)

  assert(vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 20),
         'no diagnostics within 10 seconds')
  local found = vim.diagnostic.get(buffer)
  assert(#found == 1, 'expected one diagnostic, got ' .. vim.inspect(found))
  -- "<%金>=1>ストープ": the destination begins after 2 + 3 + 4 bytes.
  local d = found[1]
  assert(d.lnum == 5 and d.col == 9 and d.end_col == 21 and d.code == 'V101',
         'the diagnostic is not on ストープ in line 6: ' .. vim.inspect(d))

  -- The misspelt choice's code actions: the name it was meant as comes first; applied, it
  -- mends the line.
  local offered = {}
  vim.ui.select = function(items, _, choose)
    for _, item in ipairs(items) do table.insert(offered, (item.action or item[2]).title) end
    choose(items[1])
  end
  vim.api.nvim_win_set_cursor(0, { 6, 12 })
  vim.lsp.buf.code_action()
  assert(vim.wait(5000, function()
    return vim.api.nvim_buf_get_lines(buffer, 5, 6, true)[1] == '<%金>=1>ストーブ'
  end, 20), 'the fix was not applied; offered: ' .. vim.inspect(offered))
  assert(offered[1] == 'Change to "ストーブ"' and offered[2] == 'Add scene "ストープ"',
         'offered ' .. vim.inspect(offered))

  -- "{<%金>=1>待合室}": the target begins after 1 + 2 + 3 + 4 bytes.
  vim.api.nvim_win_set_cursor(0, { 3, 13 })
  vim.lsp.buf.definition()
  assert(vim.wait(5000, function() return vim.api.nvim_win_get_cursor(0)[1] == 4 end, 20),
         'go-to-definition did not move to line 4')
  local cursor = vim.api.nvim_win_get_cursor(0)
  assert(cursor[2] == 7, 'go-to-definition landed at ' .. vim.inspect(cursor))

  -- A block behind a choice whose condition never holds, one nothing leads to, and that choice.
  vim.cmd('edit ' .. vim.fn.fnameescape(here .. '/coverage.vell'))
  local cave = vim.api.nvim_get_current_buf()
  vim.lsp.buf_attach_client(cave, client)
  local answer = vim.lsp.buf_request_sync(cave, 'plotwright/coverage', {
    textDocument = vim.lsp.util.make_text_document_params(cave), count = 50, seed = 3,
  }, 10000)
  local result = answer and answer[client] and answer[client].result
  assert(result, 'no coverage answer: ' .. vim.inspect(answer))
  local function at(list)
    local places = {}
    for _, item in ipairs(list) do
      table.insert(places, item.name .. '@' .. item.range.start.line .. ':' .. item.range['end'].character)
    end
    return table.concat(places, ' ')
  end
  assert(at(result.unreached) == 'Vault@7:11 Lost@9:10' and at(result.untaken) == 'Vault@4:16',
         'coverage placed ' .. vim.inspect(result))

  vim.lsp.stop_client(client)
  assert(vim.wait(5000, function() return vim.lsp.client_is_stopped(client) end, 20),
         'the server did not stop')
end

local ok, problem = pcall(check)
if ok then
  vim.cmd('qall!')
else
  io.stderr:write('FAIL: ' .. tostring(problem) .. '\n')
  vim.cmd('cquit 1')
end
